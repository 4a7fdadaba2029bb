// SPDX-License-Identifier: GPL-3.0-or-later
// The program file as Windows shows it: the window's icon at every size that
// Explorer and the taskbar ask for, the version and copyright line of the
// Info box, and the manifest Windows starts it by. KELMORA_PROGRAM names the
// file.
#include "app/window_icon.h"
#include "kelmora/version.h"

#include <QImage>
#include <QTest>
#include <QXmlStreamReader>
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

// The manifest Windows reads when it starts the program
// (CREATEPROCESS_MANIFEST_RESOURCE_ID of type RT_MANIFEST).
QByteArray manifest() {
    HMODULE program = ::LoadLibraryExW(programFile().c_str(), nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!program) {
        return {};
    }
    QByteArray text;
    if (HRSRC found = ::FindResourceW(program, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24))) {
        if (HGLOBAL loaded = ::LoadResource(program, found)) {
            text = QByteArray(static_cast<const char*>(::LockResource(loaded)),
                              int(::SizeofResource(program, found)));
        }
    }
    ::FreeLibrary(program);
    return text;
}

// Every value the manifest gives an element of a namespace: its text, or
// the attribute named.
QStringList manifestValues(const QString& space, const QString& element, const QString& attribute) {
    QStringList values;
    QXmlStreamReader reader(manifest());
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.namespaceUri() == space &&
            reader.name() == element) {
            values << (attribute.isEmpty() ? reader.readElementText().trimmed()
                                           : reader.attributes().value(attribute).toString());
        }
    }
    return values;
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

    void theManifestSaysHowWindowsStartsIt_data() {
        QTest::addColumn<QString>("space");
        QTest::addColumn<QString>("element");
        QTest::addColumn<QString>("attribute");
        QTest::addColumn<QString>("value");
        const QString compatibility = "urn:schemas-microsoft-com:compatibility.v1";
        const QString settings2016 = "http://schemas.microsoft.com/SMI/2016/WindowsSettings";
        QTest::addRow("made for Windows 10 and 11") << compatibility << "supportedOS"
                                                    << "Id"
                                                    << "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}";
        QTest::addRow("paths of any length") << settings2016 << "longPathAware"
                                             << ""
                                             << "true";
        QTest::addRow("per-monitor v2 DPI awareness, as Qt's") << settings2016 << "dpiAwareness"
                                                               << ""
                                                               << "PerMonitorV2";
        QTest::addRow("no elevation") << "urn:schemas-microsoft-com:asm.v3"
                                      << "requestedExecutionLevel"
                                      << "level"
                                      << "asInvoker";
    }
    void theManifestSaysHowWindowsStartsIt() {
        QFETCH(QString, space);
        QFETCH(QString, element);
        QFETCH(QString, attribute);
        QFETCH(QString, value);
        QCOMPARE(manifestValues(space, element, attribute), QStringList{value});
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
