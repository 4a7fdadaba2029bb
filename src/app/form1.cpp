// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/form1.h"

#include "app/database_folder.h"
#include "app/design_font.h"
#include "app/display_text.h"
#include "app/form2.h"
#include "app/settings_store.h"
#include "app/window_icon.h"
#include "database/database_start.h"
#include "database/station_record.h"
#include "database/text_encoding.h"
#include "language/captions.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QWindow>
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

// The caption of a menu, a menu item, a label or a button.
void writeCaption(QObject* control, const QString& text) {
    if (auto* action = qobject_cast<QAction*>(control)) {
        action->setText(text);
    } else if (auto* menu = qobject_cast<QMenu*>(control)) {
        menu->setTitle(text);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(text);
    } else if (auto* button = qobject_cast<QPushButton*>(control)) {
        button->setText(text);
    } else {
        qFatal("%s has no caption", qPrintable(control->objectName()));
    }
}

// The tool tip of a control or of a menu item.
void writeToolTip(QObject* control, const QString& text) {
    if (auto* action = qobject_cast<QAction*>(control)) {
        action->setToolTip(text);
    } else if (auto* widget = qobject_cast<QWidget*>(control)) {
        widget->setToolTip(text);
    } else {
        qFatal("%s has no tool tip", qPrintable(control->objectName()));
    }
}

QString withoutAccessKeyMark(QString caption) {
    return caption.remove(QRegularExpression(QStringLiteral("&(?!&)")));
}

} // namespace

Form1::Form1(MessagePresenter* presenter, FileChooser* chooser)
    : ownPresenter_(presenter ? nullptr : std::make_unique<ModalMessagePresenter>()),
      presenter_(presenter ? presenter : ownPresenter_.get()),
      ownChooser_(chooser ? nullptr : std::make_unique<DialogFileChooser>()),
      chooser_(chooser ? chooser : ownChooser_.get()) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setWindowIcon(makeWindowIcon());
    buildControls();
    buildMenus();
    applyFonts();
    wireEvents();
    Form_Load();
}

Form1::~Form1() {
    delete form2_;
    // The controls outlive this part of the window while it is torn down and
    // still send signals and get events then; none may reach a handler.
    for (QObject* child : findChildren<QObject*>()) {
        child->disconnect(this);
        child->removeEventFilter(this);
    }
}

int Form1::twips(int value) const {
    return twipsToPixels(value, logicalDpiY());
}

QWidget* Form1::makeControl(const ControlDesign& design, QWidget* client) {
    const QString text = QString::fromLatin1(design.text.data(), design.text.size());
    QWidget* widget = nullptr;
    switch (design.kind) {
    case ControlKind::Label: {
        auto* label = new QLabel(text, client);
        label->setTextFormat(Qt::PlainText); // headings come from files: never markup
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        widget = label;
        break;
    }
    case ControlKind::TextBox:
        widget = new QLineEdit(text, client);
        break;
    case ControlKind::ComboBox: {
        auto* combo = new QComboBox(client);
        combo->setEditable(true);
        combo->setEditText(text);
        widget = combo;
        break;
    }
    case ControlKind::Button:
        widget = new QPushButton(text, client);
        break;
    }
    widget->setObjectName(QString::fromLatin1(design.name.data(), design.name.size()));
    widget->setToolTip(QString::fromLatin1(design.toolTip.data(), design.toolTip.size()));
    widget->setGeometry(twips(design.left), twips(design.top), twips(design.width),
                        twips(design.height));
    return widget;
}

void Form1::buildControls() {
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    setCentralWidget(client);

    QWidget* previous = nullptr;
    for (const ControlDesign& design : kControls) {
        QWidget* widget = makeControl(design, client);
        if (widget->focusPolicy() != Qt::NoFocus) {
            if (previous) {
                setTabOrder(previous, widget);
            }
            previous = widget;
        }
    }
    Label1 = control<QLabel>(u"Label1");
    Combo1 = control<QComboBox>(u"Combo1");
    Label10 = control<QLabel>(u"Label10");
    Text10 = control<QLineEdit>(u"Text10");
    Command1 = control<QPushButton>(u"Command1");
    for (std::size_t i = 0; i < kStationFieldCount; ++i) {
        headingLabels_[i] = control<QLabel>(QStringLiteral("Label%1").arg(i + 2));
        fieldBoxes_[i] = control<QLineEdit>(QStringLiteral("Text%1").arg(i + 2));
    }

    Combo1->setInsertPolicy(QComboBox::NoInsert); // typed names are not added to the list
    Combo1->setCompleter(nullptr);                // typed names stay as typed
    // A typed name that equals an entry would otherwise count as chosen from
    // the list when the box loses the focus; only a real choice opens a file.
    disconnect(Combo1->lineEdit(), &QLineEdit::editingFinished, Combo1, nullptr);
    Label1->setBuddy(Combo1);
    Label10->setBuddy(Text10);
    Command1->setAutoDefault(false);

    buildLines(client);
    resize(twips(kClientWidthTwips), menuBar()->sizeHint().height() + twips(kClientHeightTwips));
}

void Form1::buildLines(QWidget* client) {
    const auto makeLine = [client, this](const QString& name, int top, QPalette::ColorRole colour) {
        auto* line = new QFrame(client);
        line->setObjectName(name);
        line->setFrameShape(QFrame::NoFrame);
        line->setAutoFillBackground(true);
        line->setBackgroundRole(colour);
        line->setGeometry(0, twips(top), twips(kClientWidthTwips), 1);
        return line;
    };
    // The light line takes the colour of a text box's background, which stands
    // out from the form's own colour in every style.
    Line2 = makeLine(QStringLiteral("Line2"), kLightLineTopTwips, QPalette::Base);
    Line1 = makeLine(QStringLiteral("Line1"), kDarkLineTopTwips, QPalette::WindowText);
}

QMenu* Form1::makeMenu(QWidget* parent, const char* name, const char* caption, Handler onOpen) {
    auto* menu = new QMenu(QString::fromUtf8(caption), parent);
    menu->setObjectName(QLatin1String(name));
    if (auto* parentMenu = qobject_cast<QMenu*>(parent)) {
        parentMenu->addMenu(menu);
    } else {
        menuBar()->addMenu(menu);
    }
    if (onOpen) {
        connect(menu, &QMenu::aboutToShow, this, onOpen);
    }
    return menu;
}

QAction* Form1::makeAction(QMenu* menu, const char* name, const char* caption, Handler onClick) {
    QAction* action = menu->addAction(QString::fromUtf8(caption));
    action->setObjectName(QLatin1String(name));
    connect(action, &QAction::triggered, this, onClick);
    return action;
}

// Each menu and item with its design-time caption and its handler.
void Form1::buildMenus() {
    mnuDat = makeMenu(this, "mnuDat", "&Datei");
    mnuOpen = makeAction(mnuDat, "mnuOpen", "&Öffnen", &Form1::mnuOpen_Click);
    mnuSuch = makeAction(mnuDat, "mnuSuch", "&Suchen", &Form1::mnuSuch_Click);
    mnuEnde = makeAction(mnuDat, "mnuEnde", "&Beenden", &Form1::mnuEnde_Click);

    mnuOpt = makeMenu(this, "mnuOpt", "&Optionen", &Form1::mnuOpt_Click);
    mnuSprache = makeMenu(mnuOpt, "mnuSprache", "&Sprache");
    mnuDeutsch = makeAction(mnuSprache, "mnuDeutsch", "&deutsch", &Form1::mnuDeutsch_Click);
    mnuEnglisch = makeAction(mnuSprache, "mnuEnglisch", "&english", &Form1::mnuEnglisch_Click);
    mnuDeutsch->setCheckable(true);
    mnuEnglisch->setCheckable(true);
    mnuLocator = makeAction(mnuOpt, "mnuLocator", "&Eigener Locator...", &Form1::mnuLocator_Click);
    mnuLog = makeAction(mnuOpt, "mnuLog", "&Logbuch (ADIF)...", &Form1::mnuLog_Click);
    mnuOpt->setToolTipsVisible(true);

    mnuExtr = makeMenu(this, "mnuExtr", "&Extras", &Form1::mnuExtr_Click);
    mnuWSJT = makeMenu(mnuExtr, "mnuWSJT", "&WSJT:Calsign.txt generieren");
    mnuWSJTall = makeAction(mnuWSJT, "mnuWSJTall", "&alle", &Form1::mnuWSJTall_Click);
    mnuFSK441Datei =
        makeAction(mnuWSJT, "mnuFSK441Datei", "&nur FSK441", &Form1::mnuFSK441Datei_Click);
    mnuCall3 = makeAction(mnuExtr, "mnuCall3", "für WSJT-&X: CALL3.TXT aktualisieren...",
                          &Form1::mnuCall3_Click);
    mnuKarte = makeAction(mnuExtr, "mnuKarte", "&Karte", &Form1::mnuKarte_Click);
    mnuExtr->setToolTipsVisible(true);

    mnuHelp = makeMenu(this, "mnuHelp", " &? ");
    mnuInfo = makeAction(mnuHelp, "mnuInfo", "&Info", &Form1::mnuInfo_Click);
}

void Form1::applyFonts() {
    QFont font = designFont();
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
    connect(Combo1, &QComboBox::activated, this, &Form1::Combo1_Click);
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    for (QWidget* keyed : std::initializer_list<QWidget*>{Combo1, Text10, Command1}) {
        keyed->installEventFilter(this);
    }
    for (QLineEdit* box : fieldBoxes_) {
        box->installEventFilter(this);
    }
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (watched == windowHandle() && event->type() == QEvent::Expose) {
        if (!firstDisplayDone_ && windowHandle()->isExposed()) {
            // Out of the event itself, so that a message box of the first
            // display does not run inside the painting.
            QTimer::singleShot(0, this, [this] { onFirstDisplay(); });
        }
        return QMainWindow::eventFilter(watched, event);
    }
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
        static constexpr std::array<Handler, kStationFieldCount> clickHandlers = {
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
    uiLanguage_ = settings_store::read(settings_store::kLanguage);
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
    const QString saved = settings_store::read(settings_store::kDatabase);
    if (FileExists(saved)) {
        Combo1->setEditText(saved);
    }
}

bool Form1::FileExists(const QString& path) const {
    return database_folder::anyFileMatches(path);
}

Language Form1::messageLanguage() const {
    return languageFromCode(uiLanguage_.toStdString()).value_or(Language::English);
}

void Form1::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!firstDisplayDone_ && windowHandle()) {
        // The first display waits until the window is on the screen, which
        // under a window manager is when it has its frame.
        windowHandle()->installEventFilter(this);
    }
}

void Form1::onFirstDisplay() {
    if (std::exchange(firstDisplayDone_, true)) {
        return;
    }
    windowHandle()->removeEventFilter(this);
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
    if (form2_) {
        form2_->openDatabase(path, hasHeadingLine_);
    }
    ShowRecord(start.firstStation.value_or(std::string()), false);
}

void Form1::showMissingDatabaseNotice(const QString& fileName) {
    for (QLineEdit* box : fieldBoxes_) {
        box->clear();
    }
    shownLine_.clear();
    if (form2_) {
        form2_->openDatabase(std::nullopt, false);
    }
    const QString shownName = fileName.isEmpty() ? QStringLiteral("ms*.txt") : fileName;
    const QString databasePath = database_folder::workingFolder() + QDir::separator() + shownName;
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
    if (form2_) {
        form2_->close(); // the map goes with the window it belongs to
    }
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
    if (form2_) {
        form2_->applyLanguage(*language);
    }
    if (hasHeadingLine_) {
        ShowRecord(headingLine_, true);
    } else {
        writeDefaultHeadings(*language);
    }
    updateAccessibleNames();
}

void Form1::writeCaptions(Language language) {
    for (const CaptionRow& row : kCaptionTable) {
        const QString name = QString::fromLatin1(row.control.data(), row.control.size());
        const QString text = fromUtf8(row.text(language));
        switch (row.property) {
        case CaptionProperty::WindowTitle:
            setWindowTitle(fromUtf8(kelmora::windowTitle(language)));
            break;
        case CaptionProperty::ToolTip:
            writeToolTip(control<QObject>(name), text);
            break;
        case CaptionProperty::Caption:
            writeCaption(control<QObject>(name), text);
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
    } else {
        shownLine_.assign(line);
        if (form2_) {
            form2_->showRecord(shownLine_);
        }
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
