#pragma once

#include <QByteArray>

namespace tarnwick::test {

// An appcast in the Sparkle style with one item per entry of `versions` (each its own
// https download); `extraItem` is inserted verbatim after them.
inline QByteArray appcastWith(std::initializer_list<const char*> versions,
                              const QByteArray& extraItem = {}) {
    QByteArray xml =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
        "<rss version=\"2.0\" xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/"
        "sparkle\">\n<channel>\n<title>Tarnwick</title>\n";
    for (const char* version : versions) {
        const QByteArray v(version);
        xml += "<item><title>Version " + v + "</title>\n<sparkle:version>" + v +
               "</sparkle:version>\n<description><![CDATA[<ul><li>Changes in " + v +
               "</li></ul>]]></description>\n<pubDate>Sat, 01 Mar 2025 10:00:00 +0000</pubDate>\n"
               "<enclosure url=\"https://downloads.example.org/tarnwick_" +
               v +
               "_amd64.deb\" length=\"123456\" type=\"application/vnd.debian.binary-package\"/>\n"
               "</item>\n";
    }
    return xml + extraItem + "</channel>\n</rss>\n";
}

}  // namespace tarnwick::test
