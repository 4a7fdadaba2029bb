// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/message_placement.h"
#include "app/window_layout.h"
#include "language/captions.h"
#include "widget_test_support.h"

#include <QAction>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>

using namespace kelmora;
using namespace kelmora::testing;

namespace {

int toPixels(const QWidget& window, int twips) {
    return twipsToPixels(twips, window.logicalDpiY());
}

QString withoutAccessKeyMark(QString caption) {
    return caption.remove(QLatin1Char('&'));
}

// Whether the caption is shown whole in its control's font and width.
bool fitsInto(const QWidget& control, const QString& caption) {
    const int needed = control.fontMetrics().horizontalAdvance(withoutAccessKeyMark(caption));
    int available = control.contentsRect().width();
    if (qobject_cast<const QPushButton*>(&control)) {
        available -= 2 * control.style()->pixelMetric(QStyle::PM_ButtonMargin);
    }
    return needed <= available;
}

int distinctColours(const QImage& image) {
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) != 0) {
                colours.insert(image.pixel(x, y));
            }
        }
    }
    return static_cast<int>(colours.size());
}

} // namespace

class WindowLayoutTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        clearSettings();
        folder_ = std::make_unique<WorkingFolder>();
        window_ = startWindow(messages_);
    }
    void cleanup() {
        window_.reset();
        folder_.reset();
    }

    void runsAtTheExpectedResolution() {
        // The same tests run at several device pixel ratios (see CMakeLists): the
        // design is laid out in logical pixels, so it scales as a whole.
        const QByteArray ratio = qgetenv("KELMORA_EXPECTED_PIXEL_RATIO");
        if (!ratio.isEmpty()) {
            QCOMPARE(window_->devicePixelRatio(), ratio.toDouble());
        }
    }

    void everyControlStandsWhereTheDesignPutsIt() {
        for (const ControlDesign& placement : kControls) {
            const QString name = QString::fromLatin1(placement.name.data(), placement.name.size());
            const QWidget* control = window_->findChild<QWidget*>(name);
            QVERIFY2(control, qPrintable(name));
            const QRect expected(
                toPixels(*window_, placement.left), toPixels(*window_, placement.top),
                toPixels(*window_, placement.width), toPixels(*window_, placement.height));
            QCOMPARE(control->geometry(), expected);
            QCOMPARE(control->parentWidget(), window_->centralWidget());
        }
        QCOMPARE(window_->centralWidget()->width(), toPixels(*window_, kClientWidthTwips));
    }

    void theSeparatorIsALightLineDirectlyAboveADarkOne() {
        const auto* light = control<QFrame>(*window_, "Line2");
        const auto* dark = control<QFrame>(*window_, "Line1");
        QCOMPARE(light->geometry(),
                 QRect(0, toPixels(*window_, 1365), toPixels(*window_, kClientWidthTwips), 1));
        QCOMPARE(dark->geometry(),
                 QRect(0, toPixels(*window_, 1380), toPixels(*window_, kClientWidthTwips), 1));
        QCOMPARE(dark->y(), light->y() + 1);
        QCOMPARE(light->backgroundRole(), QPalette::Base);
        QCOMPARE(dark->backgroundRole(), QPalette::WindowText);
        QVERIFY(light->autoFillBackground() && dark->autoFillBackground());
        // Both lines stand out from the form around them.
        const QColor form = window_->centralWidget()->palette().color(QPalette::Window);
        QVERIFY(light->palette().color(QPalette::Base) != form);
        QVERIFY(dark->palette().color(QPalette::WindowText) != form);
    }

    void tabbingGoesThroughTheSearchLineFirst() {
        const QStringList expected = {"Command1", "Combo1", "Text2", "Text4", "Text3", "Text5",
                                      "Text6",    "Text7",  "Text8", "Text9", "Text10"};
        auto* search = control<QLineEdit>(*window_, "Text10");
        search->setFocus();
        QCOMPARE(focusedName(), QStringLiteral("Text10"));
        for (const QString& next : expected) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(focusedName(), next);
        }
    }

    void fontsAndColoursFollowTheDesign() {
        const QFont regular = control<QLabel>(*window_, "Label1")->font();
        QCOMPARE(regular.pointSizeF(), kDesignFontPointSize);
        QCOMPARE(regular.weight(), QFont::Normal);
        // A face the system really draws, not one it stands in for with
        // whatever it has (under Wine without Tahoma: a serif face).
        QCOMPARE(QFontInfo(regular).family(), regular.family());
        for (const char* bold : {"Text10", "Text2"}) {
            QCOMPARE(control<QLineEdit>(*window_, bold)->font().weight(), QFont::Bold);
            QCOMPARE(control<QLineEdit>(*window_, bold)->font().family(), regular.family());
        }
        for (const char* plain : {"Text3", "Text4", "Combo1", "Command1", "Label9"}) {
            QCOMPARE(control<QWidget>(*window_, plain)->font().weight(), QFont::Normal);
            QCOMPARE(control<QWidget>(*window_, plain)->font().pointSizeF(), kDesignFontPointSize);
        }
        const QColor darkBlue(0, 0, 128);
        for (const char* blue : {"Text2", "Text4"}) {
            QCOMPARE(control<QLineEdit>(*window_, blue)->palette().color(QPalette::Text), darkBlue);
        }
        QVERIFY(control<QLineEdit>(*window_, "Text3")->palette().color(QPalette::Text) != darkBlue);
    }

    void theWindowHasNoMinimizeOrMaximizeButton() {
        const Qt::WindowFlags flags = window_->windowFlags();
        QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
        QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    }

    void theOuterHeightIsHeldWhateverHappens() {
        const int held = toPixels(*window_, kOuterHeightTwips);
        QCOMPARE(window_->frameGeometry().height(), held);
        window_->resize(window_->width() + 40, held * 2);
        QCOMPARE(window_->frameGeometry().height(), held);
        QCOMPARE(window_->width(), toPixels(*window_, kClientWidthTwips) + 40);
        window_->resize(window_->width(), 10);
        QCOMPARE(window_->frameGeometry().height(), held);
    }

    void theIconComesIn32And16PixelsWithSixteenColoursAtMost() {
        const QIcon icon = window_->windowIcon();
        const QList<QSize> sizes = icon.availableSizes();
        QVERIFY(sizes.contains(QSize(32, 32)));
        QVERIFY(sizes.contains(QSize(16, 16)));
        for (const int size : {32, 16}) {
            const QImage image = icon.pixmap(QSize(size, size), 1.0).toImage();
            QCOMPARE(image.size(), QSize(size, size));
            QVERIFY(distinctColours(image) >= 3);
            QVERIFY(distinctColours(image) <= 16);
        }
    }

    void everyCaptionOfBothLanguagesFitsItsControl() {
        for (const Language language : {Language::German, Language::English}) {
            for (const CaptionRow& row : kCaptionTable) {
                const QString name = QString::fromLatin1(row.control.data(), row.control.size());
                auto* control = window_->findChild<QWidget*>(name);
                const bool shownInTheWindow =
                    qobject_cast<QLabel*>(control) || qobject_cast<QPushButton*>(control);
                if (!shownInTheWindow || row.property != CaptionProperty::Caption) {
                    continue;
                }
                const QString caption =
                    QString::fromUtf8(row.text(language).data(), row.text(language).size());
                QVERIFY2(fitsInto(*control, caption), qPrintable(name + ": " + caption));
            }
            const auto& headings = defaultHeadings(language);
            for (int i = 0; i < 8; ++i) {
                const QString heading = QString::fromUtf8(headings[i].data(), headings[i].size());
                const auto* label = control<QLabel>(
                    *window_, QStringLiteral("Label%1").arg(i + 2).toLatin1().constData());
                QVERIFY2(fitsInto(*label, heading), qPrintable(heading));
            }
        }
    }

    void everyControlIsNamedForScreenReaders() {
        QCOMPARE(control<QWidget>(*window_, "Combo1")->accessibleName(),
                 QStringLiteral("Datenbank :"));
        QCOMPARE(control<QWidget>(*window_, "Text10")->accessibleName(),
                 QStringLiteral("Suchtext    :"));
        QCOMPARE(control<QWidget>(*window_, "Command1")->accessibleName(),
                 QStringLiteral("Suchen"));
        QCOMPARE(control<QWidget>(*window_, "Text5")->accessibleName(),
                 QStringLiteral("Aktivitäten"));
        control<QAction>(*window_, "mnuEnglisch")->trigger();
        QCOMPARE(control<QWidget>(*window_, "Combo1")->accessibleName(),
                 QStringLiteral("Database :"));
        QCOMPARE(control<QWidget>(*window_, "Text9")->accessibleName(),
                 QStringLiteral("Last Updated:"));
    }

    void messageBoxesStandBelowTheWindowOrBesideIt_data() {
        QTest::addColumn<QRect>("window");
        QTest::addColumn<QRect>("screen");
        QTest::addColumn<QPoint>("position");
        const QRect corner(10, 0, 548, 348);
        QTest::newRow("below, left-aligned") << corner << QRect(0, 0, 1024, 768) << QPoint(10, 348);
        QTest::newRow("right of the window") << corner << QRect(0, 0, 1024, 400) << QPoint(558, 0);
        QTest::newRow("neither fits: centred")
            << corner << QRect(0, 0, 700, 400) << QPoint(200, 135);
        QTest::newRow("second screen")
            << QRect(1930, 20, 548, 348) << QRect(1920, 0, 1024, 768) << QPoint(1930, 368);
    }
    void messageBoxesStandBelowTheWindowOrBesideIt() {
        QFETCH(QRect, window);
        QFETCH(QRect, screen);
        QFETCH(QPoint, position);
        QCOMPARE(messageBoxPosition(window, QSize(300, 130), screen), position);
    }

    void aMessageBoxLeavesTheRecordReadable() {
        const MessageRequest question{QMessageBox::Critical, QStringLiteral(" Suche erfolgreich"),
                                      QStringLiteral("Weiter suchen ?"),
                                      QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes};
        const ShownBox first = showRealMessageBox(window_.get(), question);
        QVERIFY(!first.frame.isEmpty());
        for (int i = 2; i <= 9; ++i) {
            const auto* box =
                control<QLineEdit>(*window_, QStringLiteral("Text%1").arg(i).toLatin1());
            const QRect onScreen(box->mapToGlobal(QPoint(0, 0)), box->size());
            QVERIFY2(!first.frame.intersects(onScreen), qPrintable(box->objectName()));
        }
        const QRect windowFrame = window_->frameGeometry();
        QCOMPARE(first.frame.topLeft(), QPoint(windowFrame.left(), windowFrame.bottom() + 1));
        // The next question of the same search comes up at the same place.
        QCOMPARE(showRealMessageBox(window_.get(), question).frame, first.frame);
    }

    void aMessageBoxIsWideEnoughForItsWholeTitle_data() {
        QTest::addColumn<QString>("title");
        QTest::newRow("the search's question") << QStringLiteral(" Suche erfolgreich");
        // Wider than what the box holds: only the width rule makes room.
        QTest::newRow("longer than the box")
            << QStringLiteral(" Suche erfolgreich in der Datenbank der Meteorscatter-Stationen");
    }
    void aMessageBoxIsWideEnoughForItsWholeTitle() {
        QFETCH(QString, title);
        const ShownBox shown = showRealMessageBox(
            window_.get(), {QMessageBox::Critical, title, QStringLiteral("Weiter suchen ?"),
                            QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes});
        if (shown.titleBar) {
            // The system's own frame: the title fits between the window menu
            // and the buttons.
            QVERIFY2(shown.titleBar->needed <= shown.titleBar->available,
                     qPrintable(QStringLiteral("%1 of %2 px")
                                    .arg(shown.titleBar->needed)
                                    .arg(shown.titleBar->available)));
            return;
        }
        QFont titleFont = QFontDatabase::systemFont(QFontDatabase::TitleFont);
        titleFont.setBold(true);
        const QFontMetrics metrics(titleFont);
        // The title, and an icon and three buttons of about a line's height.
        QVERIFY(shown.frame.width() >= metrics.horizontalAdvance(title) + 4 * metrics.height());
    }

    void theAccessKeysOfTheLabelsReachTheirBoxes() {
        QCOMPARE(control<QLabel>(*window_, "Label1")->buddy(),
                 control<QWidget>(*window_, "Combo1"));
        QCOMPARE(control<QLabel>(*window_, "Label10")->buddy(),
                 control<QWidget>(*window_, "Text10"));
    }

private:
    ScriptedMessages messages_;
    std::unique_ptr<WorkingFolder> folder_;
    std::unique_ptr<Form1> window_;
};

KELMORA_WIDGET_TEST_MAIN(WindowLayoutTest)
#include "test_window_layout.moc"
