// SPDX-License-Identifier: GPL-3.0-or-later
#include "ico_file.h"

#include <QBuffer>
#include <QDataStream>

namespace kelmora {
namespace {

constexpr int kLargestBitmapSize = 48;
constexpr int kDirectoryEntrySize = 16;
constexpr int kBitmapHeaderSize = 40;

QByteArray pngData(const QImage& image) {
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return data;
}

// A device-independent bitmap as an icon stores it: the header gives twice the
// height (colour rows, then the mask rows), both bottom-up; the mask marks the
// fully transparent pixels for systems that ignore the alpha channel.
QByteArray bitmapData(const QImage& source) {
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    const int size = image.width();
    const int maskStride = ((size + 31) / 32) * 4;
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint32(kBitmapHeaderSize) << qint32(size) << qint32(2 * size) << quint16(1)
        << quint16(32) << quint32(0) << quint32(size * size * 4 + size * maskStride) << qint32(0)
        << qint32(0) << quint32(0) << quint32(0);
    for (int y = size - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < size; ++x) {
            out << quint8(qBlue(row[x])) << quint8(qGreen(row[x])) << quint8(qRed(row[x]))
                << quint8(qAlpha(row[x]));
        }
    }
    for (int y = size - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        QByteArray mask(maskStride, '\0');
        for (int x = 0; x < size; ++x) {
            if (qAlpha(row[x]) == 0) {
                mask[x / 8] = char(mask[x / 8] | (0x80 >> (x % 8)));
            }
        }
        out.writeRawData(mask.constData(), int(mask.size()));
    }
    return data;
}

} // namespace

QByteArray icoFile(const QList<QImage>& images) {
    QList<QByteArray> payloads;
    for (const QImage& image : images) {
        payloads << (image.width() > kLargestBitmapSize ? pngData(image) : bitmapData(image));
    }
    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(1) << quint16(images.size()); // an icon, not a cursor
    quint32 offset = 6 + kDirectoryEntrySize * quint32(images.size());
    for (qsizetype i = 0; i < images.size(); ++i) {
        const int size = images[i].width();
        out << quint8(size % 256) << quint8(size % 256) // 0 stands for 256
            << quint8(0) << quint8(0) << quint16(1) << quint16(32) << quint32(payloads[i].size())
            << offset;
        offset += quint32(payloads[i].size());
    }
    for (const QByteArray& payload : payloads) {
        out.writeRawData(payload.constData(), int(payload.size()));
    }
    return file;
}

} // namespace kelmora
