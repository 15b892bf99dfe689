#!/usr/bin/env python3
"""Signs a request that the library really sent with botocore, an independent SigV4
implementation, and prints what botocore makes of it, so that a test can compare.

Reads one JSON object from standard input:
  mode        "header" (Authorization header) or "presign" (query string)
  service, region, access_key, secret_key, token (may be empty)
  method, url           the request as sent (header mode)
  headers, body_base64  the request's headers and body as received (header mode)
  amz_date              the signing time the library used
  base_url, expires     presign mode
  bucket, key, query    optional raw values; botocore's own encoding of them is printed

Prints one JSON object: authorization (header mode), query (presign mode), path and query_pairs
(botocore's encoding of the raw values), unsigned (headers that should have been signed but
were not).
"""
import base64
import datetime
import json
import sys
import types
from urllib.parse import parse_qsl, urlsplit

import botocore.auth
from botocore.awsrequest import AWSRequest
from botocore.config import Config
from botocore.credentials import Credentials
from botocore.utils import percent_encode


def freeze_clock(amz_date):
    fixed = datetime.datetime.strptime(amz_date, '%Y%m%dT%H%M%SZ')

    class Frozen(datetime.datetime):
        @classmethod
        def utcnow(cls):
            return fixed

        @classmethod
        def now(cls, tz=None):
            return fixed.replace(tzinfo=tz) if tz else fixed

    botocore.auth.datetime = types.SimpleNamespace(
        datetime=Frozen, timezone=datetime.timezone, timedelta=datetime.timedelta)


def signed_header_names(authorization):
    for part in authorization.split(', '):
        if part.startswith('SignedHeaders='):
            return part[len('SignedHeaders='):].split(';')
    return []


def header_mode(job, credentials, result):
    captured = job['headers']
    authorization = next(v for n, v in captured if n.lower() == 'authorization')
    signed = signed_header_names(authorization)
    must_sign = {'host', 'content-type', 'content-md5', 'range', 'content-disposition'}
    result['unsigned'] = sorted(
        n.lower() for n, _ in captured
        if (n.lower() in must_sign or n.lower().startswith('x-amz-')) and n.lower() not in signed)
    headers = {n: v for n, v in captured if n.lower() in signed}
    body = base64.b64decode(job.get('body_base64', ''))
    request = AWSRequest(method=job['method'], url=job['url'], data=body, headers=headers)
    if job['service'] == 's3':
        request.context['client_config'] = Config(s3={'payload_signing_enabled': False})
        auth = botocore.auth.S3SigV4Auth(credentials, 's3', job['region'])
    else:
        auth = botocore.auth.SigV4Auth(credentials, job['service'], job['region'])
    auth.add_auth(request)
    result['authorization'] = request.headers['Authorization']


def presign_mode(job, credentials, result):
    auth = botocore.auth.S3SigV4QueryAuth(credentials, 's3', job['region'],
                                          expires=job['expires'])
    request = AWSRequest(method='GET', url=job['base_url'] + result['path'])
    auth.add_auth(request)
    result['query'] = dict(parse_qsl(urlsplit(request.url).query, keep_blank_values=True))


def main():
    job = json.load(sys.stdin)
    freeze_clock(job['amz_date'])
    credentials = Credentials(job['access_key'], job['secret_key'], job.get('token') or None)
    result = {}
    if 'bucket' in job:
        # The rest-xml serialiser's encoding of /{Bucket}/{Key+}.
        result['path'] = ('/' + percent_encode(job['bucket']) + '/' +
                          percent_encode(job['key'], safe='/~'))
    if 'query' in job:
        result['query_pairs'] = sorted(
            percent_encode(k) + '=' + percent_encode(v) for k, v in job['query'])
    if job['mode'] == 'header':
        header_mode(job, credentials, result)
    else:
        presign_mode(job, credentials, result)
    json.dump(result, sys.stdout)


if __name__ == '__main__':
    main()
