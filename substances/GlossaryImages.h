#pragma once
// Picking the picture addresses out of a portal glossary page.
#include <QByteArray>
#include <QStringList>

// The image addresses of the page, left to right: each runs from "http" to
// the last lower-case "jpg" before the next address, a blank, a quote or an
// angle bracket, so two addresses on one line give two. "JPG" and "jpeg"
// endings are not taken.
QStringList GlossaryImageAddresses(const QByteArray& page);

