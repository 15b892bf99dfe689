#!/usr/bin/env node
// s3rver for the tests and the demo, with the multipart calls it lacks: ListParts,
// ListMultipartUploads and AbortMultipartUpload. It takes s3rver's own command line and prints
// its "S3rver listening on <address>:<port>" line, so it stands in for bin/s3rver.js:
//
//     node s3-peer.js --directory DIR --address 127.0.0.1 --port 0 --no-vhost-buckets \
//         --configure-bucket NAME [--silent]
//
// The answers are built from the upload folders s3rver keeps (<bucket>/._S3rver_uploads/<id>
// with the files key, metadata, <n> and <n>.md5). Parts of unknown uploads are refused as S3
// does; s3rver itself would create the folder anew.
'use strict';

const fs = require('fs/promises');
const path = require('path');

const s3rverDir = path.join(__dirname, 'node_modules', 's3rver');
const S3rver = require(s3rverDir);
const S3Error = require(path.join(s3rverDir, 'lib', 'models', 'error'));
const authenticate = require(path.join(s3rverDir, 'lib', 'middleware', 'authentication'))();
const { bucketExists } = require(path.join(s3rverDir, 'lib', 'controllers', 'bucket'));

const xmlns = 'http://s3.amazonaws.com/doc/2006-03-01/';

// S3 orders keys by their UTF-8 bytes.
const byKey = (a, b) => Buffer.compare(Buffer.from(a), Buffer.from(b));

function numberParameter(ctx, name, fallback, max = Infinity) {
    const text = ctx.query[name];
    if (text === undefined)
        return fallback;
    if (!/^\d+$/.test(text))
        throw new S3Error('InvalidArgument', `${name} must be a non-negative integer`, {
            ArgumentName: name,
            ArgumentValue: text,
        });
    return Math.min(Number(text), max);
}

function uploadsDir(ctx, bucket) {
    return ctx.app.store.getResourcePath(bucket, undefined, 'uploads');
}

// The upload's key and initiation time (the key file is written once, when it begins); null
// when there is no such upload.
async function readUpload(ctx, bucket, uploadId) {
    // s3rver's ids are hex; anything else could point outside the uploads folder.
    if (!/^[0-9a-f]+$/.test(uploadId))
        return null;
    const dir = path.join(uploadsDir(ctx, bucket), uploadId);
    const keyFile = path.join(dir, 'key');
    try {
        const [key, stat] = await Promise.all([fs.readFile(keyFile, 'utf8'), fs.stat(keyFile)]);
        return { dir, uploadId, key, initiated: stat.mtime };
    } catch (err) {
        if (err.code === 'ENOENT')
            return null;
        throw err;
    }
}

async function openUpload(ctx, bucket, key) {
    const uploadId = ctx.query.uploadId;
    const upload = await readUpload(ctx, bucket, uploadId);
    if (!upload || upload.key !== key)
        throw new S3Error(
            'NoSuchUpload',
            'The specified upload does not exist. The upload ID may be invalid, or the upload ' +
                'may have been aborted or completed.',
            { UploadId: uploadId });
    return upload;
}

async function listParts(ctx, bucket, key) {
    const upload = await openUpload(ctx, bucket, key);
    const maxParts = numberParameter(ctx, 'max-parts', 1000, 1000);
    const marker = numberParameter(ctx, 'part-number-marker', 0);
    const names = new Set(await fs.readdir(upload.dir));
    // A part counts once its MD5 file is written, after its content.
    const numbers = [...names]
        .filter(name => /^\d+$/.test(name) && names.has(name + '.md5'))
        .map(Number)
        .filter(number => number > marker)
        .sort((a, b) => a - b);
    const page = numbers.slice(0, maxParts);
    const parts = await Promise.all(page.map(async number => {
        const file = path.join(upload.dir, String(number));
        const [stat, md5] = await Promise.all([fs.stat(file), fs.readFile(file + '.md5', 'utf8')]);
        return {
            PartNumber: number,
            LastModified: stat.mtime.toISOString(),
            ETag: JSON.stringify(md5),
            Size: stat.size,
        };
    }));
    ctx.body = {
        ListPartsResult: {
            '@': { xmlns },
            Bucket: bucket,
            Key: key,
            UploadId: upload.uploadId,
            StorageClass: 'STANDARD',
            PartNumberMarker: marker,
            NextPartNumberMarker: page.length ? page[page.length - 1] : marker,
            MaxParts: maxParts,
            IsTruncated: numbers.length > page.length,
            Part: parts,
        },
    };
}

async function listMultipartUploads(ctx, bucket) {
    const prefix = ctx.query.prefix || '';
    const keyMarker = ctx.query['key-marker'] || '';
    const idMarker = (keyMarker && ctx.query['upload-id-marker']) || '';
    const maxUploads = numberParameter(ctx, 'max-uploads', 1000, 1000);
    const ids = await fs.readdir(uploadsDir(ctx, bucket)).catch(err => {
        if (err.code === 'ENOENT')
            return [];
        throw err;
    });
    const uploads = (await Promise.all(ids.map(id => readUpload(ctx, bucket, id))))
        .filter(upload => upload && upload.key.startsWith(prefix))
        .sort((a, b) => byKey(a.key, b.key) || a.initiated - b.initiated ||
                  byKey(a.uploadId, b.uploadId));
    // Listed in initiation order, so the next page starts after the marker's upload; should
    // that be gone, after the ids greater than the marker.
    const markerAt = uploads.findIndex(u => u.key === keyMarker && u.uploadId === idMarker);
    const rest = markerAt >= 0 ? uploads.slice(markerAt + 1) : uploads.filter(u => {
        const order = byKey(u.key, keyMarker);
        return order > 0 || (order === 0 && idMarker !== '' && byKey(u.uploadId, idMarker) > 0);
    });
    const page = rest.slice(0, maxUploads);
    const last = page[page.length - 1];
    ctx.body = {
        ListMultipartUploadsResult: {
            '@': { xmlns },
            Bucket: bucket,
            KeyMarker: keyMarker,
            UploadIdMarker: idMarker,
            NextKeyMarker: last ? last.key : '',
            NextUploadIdMarker: last ? last.uploadId : '',
            Prefix: prefix,
            MaxUploads: maxUploads,
            IsTruncated: rest.length > page.length,
            Upload: page.map(upload => ({
                Key: upload.key,
                UploadId: upload.uploadId,
                StorageClass: 'STANDARD',
                Initiated: upload.initiated.toISOString(),
            })),
        },
    };
}

async function abortMultipartUpload(ctx, bucket, key) {
    const upload = await openUpload(ctx, bucket, key);
    await fs.rm(upload.dir, { recursive: true, force: true });
    ctx.status = 204;
}

// The operation a request asks for, null for those s3rver answers alone.
function operationOf(ctx, key) {
    if (key === undefined)
        return ctx.method === 'GET' && 'uploads' in ctx.query ? listMultipartUploads : null;
    if (!('uploadId' in ctx.query))
        return null;
    switch (ctx.method) {
    case 'GET':
        return listParts;
    case 'DELETE':
        return abortMultipartUpload;
    case 'PUT':
    case 'POST':
        return async (ctx, bucket, key, next) => {
            await openUpload(ctx, bucket, key);
            return next();
        };
    default:
        return null;
    }
}

// Runs after s3rver's logging, XML encoding and vhost handling, just before its router; checks
// the request's signature and bucket as the router would.
async function multipartCalls(ctx, next) {
    const [, bucket, key] = /^\/([^/]+)(?:\/(.+))?$/.exec(ctx.path) || [];
    const operation = bucket ? operationOf(ctx, key) : null;
    if (!operation)
        return next();
    ctx.params = { bucket: decodeURIComponent(bucket) };
    if (key !== undefined)
        ctx.params.key = decodeURIComponent(key);
    await authenticate(ctx, () => bucketExists(ctx, () => operation(
        ctx, ctx.params.bucket, ctx.params.key, next)));
}

const run = S3rver.prototype.run;
S3rver.prototype.run = function (...args) {
    const routerAt = this.middleware.findIndex(middleware => middleware.router);
    this.middleware.splice(routerAt, 0, multipartCalls);
    return run.apply(this, args);
};

// s3rver's own command line; it creates the server through the patched class.
require(path.join(s3rverDir, 'bin', 's3rver.js'));
