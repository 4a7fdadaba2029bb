#include "app/form1.h"

#include "app/database_folder.h"
#include "app/display_text.h"
#include "app/settings_store.h"
#include "app/window_icon.h"
#include "app/window_layout.h"
#include "database/database_start.h"
#include "database/station_record.h"
#include "database/text_encoding.h"
#include "language/captions.h"

#include <QAction>
#include <QComboBox>
#include <QFontDatabase>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <utility>

namespace kelmora {
namespace {

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// The character code a key press delivers to a key handler: 13 for Enter,
// otherwise the typed character, 0 for keys that type nothing.
int keyCodeOf(const QKeyEvent& event) {
    if (event.key() == Qt::Key_Return || event.key() == Qt::Key_Enter) {
        return kEnterKey;
    }
    const QString text = event.text();
    return text.isEmpty() ? 0 : text.front().unicode();
}

QString withoutAccessKeyMark(QString caption) {
    return caption.remove(QRegularExpression(QStringLiteral("&(?!&)")));
}

} // namespace

Form1::Form1(MessagePresenter* presenter)
    : ownPresenter_(presenter ? nullptr : std::make_unique<ModalMessagePresenter>()),
      presenter_(presenter ? presenter : ownPresenter_.get()) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowIcon(makeWindowIcon());
    buildControls();
    buildMenus();
    applyDesignLayout();
    applyFonts();
    wireEvents();
    Form_Load();
}

Form1::~Form1() {
    // The controls outlive this part of the window while it is torn down and
    // still send signals and get events then; none may reach a handler.
    for (QObject* child : findChildren<QObject*>()) {
        child->disconnect(this);
        child->removeEventFilter(this);
    }
}

void Form1::buildControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    const auto makeLabel = [client](const QString& name) {
        auto* label = new QLabel(name, client);
        label->setObjectName(name);
        label->setTextFormat(Qt::PlainText); // headings come from files: never markup
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        return label;
    };
    const auto makeBox = [client](const QString& name) {
        auto* box = new QLineEdit(name, client);
        box->setObjectName(name);
        return box;
    };

    Label1 = makeLabel(QStringLiteral("Label1"));
    Combo1 = new QComboBox(client);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert); // typed names are not added to the list
    Combo1->setCompleter(nullptr);                // typed names stay as typed
    // A typed name that equals an entry would otherwise count as chosen from
    // the list when the box loses the focus; only a real choice opens a file.
    disconnect(Combo1->lineEdit(), &QLineEdit::editingFinished, Combo1, nullptr);
    Combo1->setEditText(QStringLiteral("Combo1"));
    Combo1->setToolTip(QStringLiteral("Kelmora-Database"));
    Label1->setBuddy(Combo1);

    Label10 = makeLabel(QStringLiteral("Label10"));
    Text10 = makeBox(QStringLiteral("Text10"));
    Text10->setToolTip(QStringLiteral("Searchtext"));
    Label10->setBuddy(Text10);

    Command1 = new QPushButton(QStringLiteral("Command1"), client);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setToolTip(QStringLiteral("Search"));
    Command1->setAutoDefault(false);

    for (int i = 0; i < 8; ++i) {
        headingLabels_[i] = makeLabel(QStringLiteral("Label%1").arg(i + 2));
        fieldBoxes_[i] = makeBox(QStringLiteral("Text%1").arg(i + 2));
    }

    const auto makeLine = [client](const QString& name, QPalette::ColorRole colour) {
        auto* line = new QFrame(client);
        line->setObjectName(name);
        line->setFrameShape(QFrame::NoFrame);
        line->setAutoFillBackground(true);
        line->setBackgroundRole(colour);
        return line;
    };
    // The light line takes the colour of a text box's background, which stands
    // out from the form's own colour in every style.
    Line2 = makeLine(QStringLiteral("Line2"), QPalette::Base);
    Line1 = makeLine(QStringLiteral("Line1"), QPalette::WindowText);
}

void Form1::buildMenus() {
    const auto makeMenu = [](QWidget* parent, const QString& name, const QString& title) {
        auto* menu = new QMenu(title, parent);
        menu->setObjectName(name);
        return menu;
    };
    const auto makeAction = [](QMenu* menu, const QString& name, const QString& text) {
        auto* action = menu->addAction(text);
        action->setObjectName(name);
        return action;
    };

    mnuDat = makeMenu(this, QStringLiteral("mnuDat"), QStringLiteral("&Datei"));
    mnuOpen = makeAction(mnuDat, QStringLiteral("mnuOpen"), QStringLiteral("&Öffnen"));
    mnuSuch = makeAction(mnuDat, QStringLiteral("mnuSuch"), QStringLiteral("&Suchen"));
    mnuEnde = makeAction(mnuDat, QStringLiteral("mnuEnde"), QStringLiteral("&Beenden"));

    mnuOpt = makeMenu(this, QStringLiteral("mnuOpt"), QStringLiteral("&Optionen"));
    mnuSprache = makeMenu(mnuOpt, QStringLiteral("mnuSprache"), QStringLiteral("&Sprache"));
    mnuOpt->addMenu(mnuSprache);
    mnuDeutsch = makeAction(mnuSprache, QStringLiteral("mnuDeutsch"), QStringLiteral("&deutsch"));
    mnuEnglisch = makeAction(mnuSprache, QStringLiteral("mnuEnglisch"), QStringLiteral("&english"));
    mnuDeutsch->setCheckable(true);
    mnuEnglisch->setCheckable(true);

    mnuExtr = makeMenu(this, QStringLiteral("mnuExtr"), QStringLiteral("&Extras"));
    mnuWSJT = makeMenu(mnuExtr, QStringLiteral("mnuWSJT"),
                       QStringLiteral("&WSJT:Calsign.txt generieren"));
    mnuExtr->addMenu(mnuWSJT);
    mnuWSJTall = makeAction(mnuWSJT, QStringLiteral("mnuWSJTall"), QStringLiteral("&alle"));
    mnuFSK441Datei =
        makeAction(mnuWSJT, QStringLiteral("mnuFSK441Datei"), QStringLiteral("&nur FSK441"));

    mnuHelp = makeMenu(this, QStringLiteral("mnuHelp"), QStringLiteral(" &? "));
    mnuInfo = makeAction(mnuHelp, QStringLiteral("mnuInfo"), QStringLiteral("&Info"));

    for (QMenu* menu : {mnuDat, mnuOpt, mnuExtr, mnuHelp}) {
        menuBar()->addMenu(menu);
    }
}

int Form1::twips(int value) const {
    return twipsToPixels(value, logicalDpiY());
}

void Form1::applyDesignLayout() {
    QWidget* previous = nullptr;
    for (const ControlPlacement& placement : kControlPlacements) {
        auto* control = centralWidget()->findChild<QWidget*>(
            QString::fromLatin1(placement.name.data(), placement.name.size()));
        control->setGeometry(twips(placement.left), twips(placement.top), twips(placement.width),
                             twips(placement.height));
        if (control->focusPolicy() != Qt::NoFocus) {
            if (previous) {
                setTabOrder(previous, control);
            }
            previous = control;
        }
    }
    const int lineWidth = twips(kClientWidthTwips);
    Line2->setGeometry(0, twips(kLightLineTopTwips), lineWidth, 1);
    Line1->setGeometry(0, twips(kDarkLineTopTwips), lineWidth, 1);
    resize(twips(kClientWidthTwips), menuBar()->sizeHint().height() + twips(kClientHeightTwips));
}

void Form1::applyFonts() {
    const QString designFamily = QStringLiteral("MS Sans Serif");
    QFont font = QFontDatabase::families().contains(designFamily)
                     ? QFont(designFamily)
                     : QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(kDesignFontPointSize);
    font.setWeight(QFont::Normal);
    centralWidget()->setFont(font);

    QFont bold = font;
    bold.setWeight(QFont::Bold);
    Text10->setFont(bold);
    fieldBoxes_[0]->setFont(bold);

    const QColor darkBlue(0, 0, 128);
    for (QLineEdit* box : {fieldBoxes_[0], fieldBoxes_[2]}) { // Text2 and Text4
        QPalette palette = box->palette();
        palette.setColor(QPalette::Text, darkBlue);
        box->setPalette(palette);
    }
}

void Form1::wireEvents() {
    connect(Combo1, &QComboBox::activated, this, [this] { Combo1_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(mnuOpen, &QAction::triggered, this, [this] { mnuOpen_Click(); });
    connect(mnuSuch, &QAction::triggered, this, [this] { mnuSuch_Click(); });
    connect(mnuEnde, &QAction::triggered, this, [this] { mnuEnde_Click(); });
    connect(mnuOpt, &QMenu::aboutToShow, this, [this] { mnuOpt_Click(); });
    connect(mnuDeutsch, &QAction::triggered, this, [this] { mnuDeutsch_Click(); });
    connect(mnuEnglisch, &QAction::triggered, this, [this] { mnuEnglisch_Click(); });
    connect(mnuExtr, &QMenu::aboutToShow, this, [this] { mnuExtr_Click(); });
    connect(mnuWSJTall, &QAction::triggered, this, [this] { mnuWSJTall_Click(); });
    connect(mnuFSK441Datei, &QAction::triggered, this, [this] { mnuFSK441Datei_Click(); });
    connect(mnuInfo, &QAction::triggered, this, [this] { mnuInfo_Click(); });
    Combo1->installEventFilter(this);
    Text10->installEventFilter(this);
    Command1->installEventFilter(this);
    for (QLineEdit* box : fieldBoxes_) {
        box->installEventFilter(this);
    }
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int keyCode = keyCodeOf(*static_cast<QKeyEvent*>(event));
        if (keyCode == kEnterKey && watched == Command1) {
            // A focused button answers Enter as it answers Space.
            Command1->click();
            return true;
        }
        if (keyCode != 0 && watched == Text10) {
            Text10_KeyPress(keyCode);
        } else if (keyCode != 0 && watched == Combo1) {
            Combo1_KeyPress(keyCode);
        }
    } else if (event->type() == QEvent::MouseButtonRelease) {
        using Handler = void (Form1::*)();
        static constexpr std::array<Handler, 8> clickHandlers = {
            &Form1::Text2_Click, &Form1::Text3_Click, &Form1::Text4_Click, &Form1::Text5_Click,
            &Form1::Text6_Click, &Form1::Text7_Click, &Form1::Text8_Click, &Form1::Text9_Click};
        for (std::size_t i = 0; i < fieldBoxes_.size(); ++i) {
            if (watched == fieldBoxes_[i]) {
                (this->*clickHandlers[i])();
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---- Start-up -------------------------------------------------------------

void Form1::Form_Load() {
    move(twips(1), twips(1));
    uiLanguage_ =
        settings_store::read(settings_store::kLanguageKey, settings_store::kDefaultLanguage);
    ApplyLanguage();
    fillDatabaseList();
    restoreSavedDatabase();
}

void Form1::fillDatabaseList() {
    Combo1->clear();
    Combo1->clearEditText();
    Combo1->addItems(database_folder::listDatabaseFiles());
    Combo1->setCurrentIndex(-1); // the list is filled, nothing is chosen yet
    Combo1->clearEditText();
}

void Form1::restoreSavedDatabase() {
    const QString saved =
        settings_store::read(settings_store::kDatabaseKey, settings_store::kDefaultDatabase);
    if (FileExists(saved)) {
        Combo1->setEditText(saved);
    }
}

bool Form1::FileExists(const QString& path) const {
    return database_folder::anyFileMatches(path);
}

void Form1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!firstDisplayDone_) {
        // The first display waits for the window manager to frame and activate
        // the window; without one, or where it activates nothing, it comes anyway.
        QTimer::singleShot(kFrameWaitMilliseconds, this, [this] { onFirstDisplay(); });
    }
}

void Form1::onFirstDisplay() {
    if (std::exchange(firstDisplayDone_, true)) {
        return;
    }
    // The frame is known now: put the frame itself into the corner, before any
    // message can be placed beside it.
    move(twips(1), twips(1));
    Form_Resize();
    Text10->setFocus(); // the first control in tab order
    Form_Activate();
}

void Form1::Form_Activate() {
    const QString fileName = Combo1->currentText();
    Text10->clear();
    if (FileExists(fileName)) {
        readSelectedDatabase(fileName);
    } else {
        showMissingDatabaseNotice(fileName);
    }
}

void Form1::readSelectedDatabase(const QString& fileName) {
    hasHeadingLine_ = false;
    headingLine_.clear();
    const auto path = database_folder::fileToOpen(fileName);
    // A name that matches files only as a pattern cannot be opened; it reads
    // like an empty file.
    const DatabaseStart start = path ? readDatabaseStart(*path) : DatabaseStart{};
    if (start.headingLine) {
        hasHeadingLine_ = true;
        headingLine_ = *start.headingLine;
        ShowRecord(headingLine_, true);
    }
    ShowRecord(start.firstStation.value_or(std::string()), false);
}

void Form1::showMissingDatabaseNotice(const QString& fileName) {
    for (QLineEdit* box : fieldBoxes_) {
        box->clear();
    }
    const QString shownName = fileName.isEmpty() ? QStringLiteral("ms*.txt") : fileName;
    const QString databasePath = database_folder::workingFolder() + QLatin1Char('/') + shownName;
    if (const auto language = languageFromCode(uiLanguage_.toStdString())) {
        showMessage(QMessageBox::Information,
                    missingDatabaseNotice(*language, databasePath.toStdString()));
    }
    Combo1->setFocus();
}

void Form1::Combo1_Click() {
    openSelectedDatabase();
}

void Form1::Combo1_KeyPress(int keyCode) {
    if (keyCode == kEnterKey) {
        openSelectedDatabase();
    }
}

void Form1::openSelectedDatabase() {
    Form_Activate();
    ApplyLanguage();
    Text10->setFocus();
}

void Form1::mnuOpen_Click() {
    fillDatabaseList();
    restoreSavedDatabase();
    Combo1->setFocus();
}

// ---- Closing --------------------------------------------------------------

void Form1::mnuEnde_Click() {
    close();
}

void Form1::closeEvent(QCloseEvent* event) {
    Form_Unload();
    QMainWindow::closeEvent(event);
}

void Form1::Form_Unload() {
    if (!settings_store::writeAtClosing(Combo1->currentText(), uiLanguage_)) {
        // Closing goes on: the window must never refuse to close.
        qWarning("The settings could not be stored.");
    }
}

// ---- Height ---------------------------------------------------------------

bool Form1::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate && !firstDisplayDone_) {
        // Out of the event itself, so that a message box of the first display
        // does not run inside the activation.
        QTimer::singleShot(0, this, [this] { onFirstDisplay(); });
    }
    return QMainWindow::event(event);
}

void Form1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // Before the first display the frame is unknown, and a resize then would
    // also undo the placing of the frame into the corner.
    if (firstDisplayDone_) {
        Form_Resize();
    }
}

void Form1::Form_Resize() {
    if (adjustingHeight_) {
        return;
    }
    const int decorations = frameGeometry().height() - geometry().height();
    const int wanted = twips(kOuterHeightTwips) - decorations;
    if (height() != wanted) {
        adjustingHeight_ = true;
        resize(width(), wanted);
        adjustingHeight_ = false;
    }
}

// ---- Captions and records ---------------------------------------------------

void Form1::ApplyLanguage() {
    const auto language = languageFromCode(uiLanguage_.toStdString());
    if (!language) {
        return; // an unknown code writes nothing
    }
    qtTranslations_.use(language);
    writeCaptions(*language);
    if (hasHeadingLine_) {
        ShowRecord(headingLine_, true);
    } else {
        writeDefaultHeadings(*language);
    }
    updateAccessibleNames();
}

void Form1::writeCaptions(Language language) {
    for (const CaptionRow& row : kCaptionTable) {
        const QString control = QString::fromLatin1(row.control.data(), row.control.size());
        const QString text = fromUtf8(row.text(language));
        QObject* target = control == objectName() ? this : findChild<QObject*>(control);
        switch (row.property) {
        case CaptionProperty::WindowTitle:
            setWindowTitle(fromUtf8(kelmora::windowTitle(language)));
            break;
        case CaptionProperty::ToolTip:
            qobject_cast<QWidget*>(target)->setToolTip(text);
            break;
        case CaptionProperty::Caption:
            if (auto* action = qobject_cast<QAction*>(target)) {
                action->setText(text);
            } else if (auto* menu = qobject_cast<QMenu*>(target)) {
                menu->setTitle(text);
            } else if (auto* label = qobject_cast<QLabel*>(target)) {
                label->setText(text);
            } else if (auto* button = qobject_cast<QPushButton*>(target)) {
                button->setText(text);
            }
            break;
        }
    }
}

void Form1::writeDefaultHeadings(Language language) {
    const auto& headings = defaultHeadings(language);
    for (std::size_t i = 0; i < headingLabels_.size(); ++i) {
        headingLabels_[i]->setText(fromUtf8(headings[i]));
    }
}

void Form1::ShowRecord(std::string_view line, bool heading) {
    const StationRecord record = splitStationLine(line);
    const LineEncoding encoding = encodingOfLine(line);
    for (std::size_t i = 0; i < kStationFieldCount; ++i) {
        const QString text =
            displayText(record.fields[i].substr(0, kLongestShownFieldBytes), encoding);
        if (heading) {
            headingLabels_[i]->setText(text);
        } else {
            fieldBoxes_[i]->setText(text);
            fieldBoxes_[i]->setCursorPosition(0); // show the start of a long field
        }
    }
    if (heading) {
        updateAccessibleNames();
    }
}

void Form1::updateAccessibleNames() {
    Combo1->setAccessibleName(withoutAccessKeyMark(Label1->text()));
    Text10->setAccessibleName(withoutAccessKeyMark(Label10->text()));
    Command1->setAccessibleName(withoutAccessKeyMark(Command1->text()));
    for (std::size_t i = 0; i < fieldBoxes_.size(); ++i) {
        fieldBoxes_[i]->setAccessibleName(headingLabels_[i]->text());
    }
}

QMessageBox::StandardButton Form1::showMessage(QMessageBox::Icon icon, const MessageText& message,
                                               QMessageBox::StandardButtons buttons,
                                               QMessageBox::StandardButton defaultButton) {
    return presenter_->present(
        this, {icon, fromUtf8(message.title), fromUtf8(message.text), buttons, defaultButton});
}

void Form1::returnFocusToSearchText() {
    Text10->setFocus();
}

} // namespace kelmora
