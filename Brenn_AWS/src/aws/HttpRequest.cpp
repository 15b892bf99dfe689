#include "HttpRequest.h"

namespace Brenn_AWS::aws {

QByteArray uriEncode(const QByteArray &bytes, bool keepSlash)
{
    static const char hex[] = "0123456789ABCDEF";
    QByteArray encoded;
    encoded.reserve(bytes.size() * 3);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        const bool unreserved = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                                (byte >= '0' && byte <= '9') || byte == '-' || byte == '_' ||
                                byte == '.' || byte == '~' || (keepSlash && byte == '/');
        if (unreserved) {
            encoded.append(c);
        } else {
            encoded.append('%');
            encoded.append(hex[byte >> 4]);
            encoded.append(hex[byte & 0x0F]);
        }
    }
    return encoded;
}

void HttpRequest::setHeader(const QByteArray &name, const QByteArray &value)
{
    for (auto &header : headers) {
        if (header.first.compare(name, Qt::CaseInsensitive) == 0) {
            header.second = value;
            return;
        }
    }
    headers.append({name, value});
}

void HttpRequest::removeHeader(const QByteArray &name)
{
    headers.removeIf([&name](const auto &header) {
        return header.first.compare(name, Qt::CaseInsensitive) == 0;
    });
}

QByteArray HttpRequest::header(const QByteArray &name) const
{
    for (const auto &header : headers) {
        if (header.first.compare(name, Qt::CaseInsensitive) == 0)
            return header.second;
    }
    return {};
}

QByteArray HttpRequest::encodedQuery() const
{
    QByteArray encoded;
    for (const auto &parameter : query) {
        if (!encoded.isEmpty())
            encoded.append('&');
        encoded.append(uriEncode(parameter.first, false));
        encoded.append('=');
        encoded.append(uriEncode(parameter.second, false));
    }
    return encoded;
}

QByteArray HttpRequest::url() const
{
    QByteArray result = scheme + "://" + host + uriEncode(path, true);
    if (!query.isEmpty())
        result += '?' + encodedQuery();
    return result;
}

} // namespace Brenn_AWS::aws
