#!/usr/bin/env node
// A Nextcloud stand-in for the tests and the demo: webdav-server on 127.0.0.1 serving one
// folder as a user's files under /remote.php/dav/files/<user>, behind basic authentication.
//
//     node webdav-peer.js --root DIR --user NAME --password SECRET [--port N]
//
// Prints "WebDAV listening on 127.0.0.1:<port>" once it accepts connections (port 0, the
// default, picks a free one).
'use strict';

const path = require('path');
const webdav = require(path.join(__dirname, 'node_modules', 'webdav-server')).v2;

function option(name, fallback) {
    const at = process.argv.indexOf('--' + name);
    if (at >= 0 && at + 1 < process.argv.length)
        return process.argv[at + 1];
    if (fallback === undefined) {
        console.error(`webdav-peer: --${name} is required`);
        process.exit(2);
    }
    return fallback;
}

const root = path.resolve(option('root'));
const userName = option('user');
const password = option('password');
const port = Number(option('port', '0'));

const users = new webdav.SimpleUserManager();
const user = users.addUser(userName, password, false);
const privileges = new webdav.SimplePathPrivilegeManager();
const mount = `/remote.php/dav/files/${userName}`;
privileges.setRights(user, mount, ['all']);

const server = new webdav.WebDAVServer({
    hostname: '127.0.0.1',
    port: port,
    requireAuthentification: true,
    httpAuthentication: new webdav.HTTPBasicAuthentication(users, 'Nextcloud'),
    privilegeManager: privileges,
    // Nextcloud answers "Depth: 10"; webdav-server caps depth unless told otherwise.
    maxRequestDepth: Infinity,
    respondWithPaths: true,
});

server.setFileSystem(mount, new webdav.PhysicalFileSystem(root), (mounted) => {
    if (!mounted) {
        console.error(`webdav-peer: cannot serve ${root} at ${mount}`);
        process.exit(1);
    }
    server.start((http) => {
        console.log(`WebDAV listening on 127.0.0.1:${http.address().port}`);
    });
});

// Open keep-alive connections would hold a graceful stop for seconds; nothing is lost by ending.
for (const signal of ['SIGTERM', 'SIGINT'])
    process.on(signal, () => process.exit(0));
