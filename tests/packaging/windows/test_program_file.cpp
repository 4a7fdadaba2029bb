// SPDX-License-Identifier: GPL-3.0-or-later
// The program file as Windows shows it: the window's icon at every size that
// Explorer and the taskbar ask for, and the version and copyright line of the
// Info box. KELMORA_PROGRAM names the file.
#include "app/window_icon.h"
#include "kelmora/version.h"

#include <QImage>
#include <QtTest>
#include <vector>
#include <windows.h>

namespace {

std::wstring programFile() {
    return qEnvironmentVariable("KELMORA_PROGRAM").toStdWString();
}

// A value of the version resource's German-Unicode string table.
QString versionString(const std::vector<char>& info, const wchar_t* name) {
    void* value = nullptr;
    UINT length = 0;
    const std::wstring path = std::wstring(L"\\StringFileInfo\\040704b0\\") + name;
    if (!::VerQueryValueW(info.data(), path.c_str(), &value, &length) || length == 0) {
        return {};
    }
    return QString::fromWCharArray(static_cast<const wchar_t*>(value), length - 1);
}

// Whether two pixels agree; where the edge is smoothed, the file's bitmaps
// keep straight alpha and Windows hands back premultiplied colours, so only
// the opacity is compared there.
bool samePixel(QRgb shown, QRgb drawn) {
    if (qAlpha(drawn) == 255 || qAlpha(drawn) == 0) {
        return shown == drawn || (qAlpha(drawn) == 0 && qAlpha(shown) == 0);
    }
    return std::abs(qAlpha(shown) - qAlpha(drawn)) <= 1;
}

} // namespace

class ProgramFileTest : public QObject {
    Q_OBJECT

private slots:
    void theVersionIsTheInfoBoxs() {
        DWORD ignored = 0;
        const DWORD size = ::GetFileVersionInfoSizeW(programFile().c_str(), &ignored);
        QVERIFY2(size > 0, "no version resource");
        std::vector<char> info(size);
        QVERIFY(::GetFileVersionInfoW(programFile().c_str(), 0, size, info.data()));
        void* fixed = nullptr;
        UINT length = 0;
        QVERIFY(::VerQueryValueW(info.data(), L"\\", &fixed, &length));
        const auto* numbers = static_cast<const VS_FIXEDFILEINFO*>(fixed);
        QCOMPARE(int(HIWORD(numbers->dwFileVersionMS)), kelmora::version::kMajor);
        QCOMPARE(int(LOWORD(numbers->dwFileVersionMS)), kelmora::version::kMinor);
        QCOMPARE(int(HIWORD(numbers->dwFileVersionLS)), kelmora::version::kRevision);
        const QString version = QStringLiteral("%1.%2.%3")
                                    .arg(kelmora::version::kMajor)
                                    .arg(kelmora::version::kMinor)
                                    .arg(kelmora::version::kRevision);
        QCOMPARE(versionString(info, L"FileVersion"), version);
        QCOMPARE(versionString(info, L"ProductVersion"), version);
        QCOMPARE(versionString(info, L"LegalCopyright"),
                 QString::fromUtf8(kelmora::version::kCopyright));
    }

    void theIconIsTheWindowIconsDrawing_data() {
        QTest::addColumn<int>("size");
        for (const int size : {16, 32, 48, 256}) {
            QTest::addRow("%d px", size) << size;
        }
    }
    void theIconIsTheWindowIconsDrawing() {
        QFETCH(int, size);
        HMODULE program =
            ::LoadLibraryExW(programFile().c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        QVERIFY(program);
        auto icon = static_cast<HICON>(
            ::LoadImageW(program, L"IDI_ICON1", IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
        ::FreeLibrary(program);
        QVERIFY2(icon, "no icon of that size");
        const QImage shown = QImage::fromHICON(icon).convertToFormat(QImage::Format_ARGB32);
        ::DestroyIcon(icon);
        const QImage drawn = kelmora::drawIcon(size).convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(shown.size(), drawn.size());
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                QVERIFY2(samePixel(shown.pixel(x, y), drawn.pixel(x, y)),
                         qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
            }
        }
    }
};

QTEST_GUILESS_MAIN(ProgramFileTest)
#include "test_program_file.moc"
