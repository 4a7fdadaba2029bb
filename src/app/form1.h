// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "app/file_chooser.h"
#include "app/message_presenter.h"
#include "app/qt_translations.h"
#include "app/window_layout.h"
#include "language/captions.h"

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

class QAction;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace kelmora {

class Form2;
enum class StationSelection;
struct Call3Result;

// The key code of Enter, the one key the key handlers act on.
inline constexpr int kEnterKey = 13;

// The program's one window. Every control, menu and piece of state belongs
// to it; every operation is one of its handlers, named after the control and
// the event that run it. The handlers are private: the window is driven
// through its controls and menus, as the user drives it.
class Form1 : public QMainWindow {
    Q_OBJECT

public:
    // Builds the window and runs Form_Load. Without a presenter, messages are
    // real modal message boxes; without a chooser, files are chosen in Qt's
    // own file dialog.
    explicit Form1(MessagePresenter* presenter = nullptr, FileChooser* chooser = nullptr);
    ~Form1() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    using Handler = void (Form1::*)();

    // Start-up, database selection and closing.
    void Form_Load();
    void Form_Activate();
    void Form_Resize();
    void Form_Unload();
    void Combo1_Click();
    void Combo1_KeyPress(int keyCode);
    void mnuOpen_Click();
    void mnuEnde_Click();

    // Search.
    void Command1_Click();
    void Text10_KeyPress(int keyCode);
    void mnuSuch_Click();
    void Text2_Click();
    void Text3_Click();
    void Text4_Click();
    void Text5_Click();
    void Text6_Click();
    void Text7_Click();
    void Text8_Click();
    void Text9_Click();

    // Callsign list for WSJT.
    void mnuExtr_Click();
    void mnuWSJTall_Click();
    void mnuFSK441Datei_Click();

    // Look-up list for WSJT-X.
    void mnuCall3_Click();

    // Own locator, map and log.
    void mnuLocator_Click();
    void mnuKarte_Click();
    void mnuLog_Click();

    // Language and Info.
    void mnuOpt_Click();
    void mnuDeutsch_Click();
    void mnuEnglisch_Click();
    void mnuInfo_Click();

    // Window procedures.
    void ApplyLanguage();
    void ShowRecord(std::string_view line, bool heading);
    bool FileExists(const QString& path) const;
    // The language of dialogs, boxes and the map window: English where the
    // language code selects none.
    Language messageLanguage() const;

    // Building the window.
    void buildControls();
    QWidget* makeControl(const ControlDesign& design, QWidget* client);
    void buildLines(QWidget* client);
    void buildMenus();
    QMenu* makeMenu(QWidget* parent, const char* name, const char* caption,
                    Handler onOpen = nullptr);
    QAction* makeAction(QMenu* menu, const char* name, const char* caption, Handler onClick);
    void applyFonts();
    void wireEvents();
    void onFirstDisplay();

    // The control or menu of that name. A name that names none is a
    // mistake in the program: it stops at once rather than go on with nothing.
    template <typename T> T* control(QStringView name) const {
        T* found = name == objectName() ? qobject_cast<T*>(const_cast<Form1*>(this))
                                        : findChild<T*>(name.toString());
        if (!found) {
            qFatal("Form1 has no %s named %s", T::staticMetaObject.className(),
                   qPrintable(name.toString()));
        }
        return found;
    }

    void fillDatabaseList();
    void restoreSavedDatabase();
    void readSelectedDatabase(const QString& fileName);
    void showMissingDatabaseNotice(const QString& fileName);
    void openSelectedDatabase(); // the three steps of Combo1_Click
    void writeCaptions(Language language);
    void writeDefaultHeadings(Language language);
    void updateAccessibleNames();
    void exportCallsignList(StationSelection selection);
    void showCall3Result(const Call3Result& result, const std::filesystem::path& list,
                         Language language);
    void returnFocusToSearchText();
    int twips(int value) const;
    QMessageBox::StandardButton
    showMessage(QMessageBox::Icon icon, const MessageText& message,
                QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                QMessageBox::StandardButton defaultButton = QMessageBox::Ok);

    std::unique_ptr<MessagePresenter> ownPresenter_;
    MessagePresenter* presenter_;
    std::unique_ptr<FileChooser> ownChooser_;
    FileChooser* chooser_;
    QtTranslations qtTranslations_;

    // State shared by the handlers. Messages join their lines with the
    // captions' kLineBreak (CR LF).
    QString uiLanguage_;
    std::string headingLine_;
    bool hasHeadingLine_ = false;
    bool firstDisplayDone_ = false;
    bool adjustingHeight_ = false;
    // The station line on display, for the map, which marks it.
    std::string shownLine_;
    // The map window while it is open.
    QPointer<Form2> form2_;

    // Controls, as built from the design table.
    QLabel* Label1 = nullptr;
    QComboBox* Combo1 = nullptr;
    QLabel* Label10 = nullptr;
    QLineEdit* Text10 = nullptr;
    QPushButton* Command1 = nullptr;
    std::array<QLabel*, 8> headingLabels_{}; // Label2 .. Label9
    std::array<QLineEdit*, 8> fieldBoxes_{}; // Text2 .. Text9
    QFrame* Line1 = nullptr;
    QFrame* Line2 = nullptr;

    // Menus.
    QMenu* mnuDat = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* mnuSuch = nullptr;
    QAction* mnuEnde = nullptr;
    QMenu* mnuOpt = nullptr;
    QMenu* mnuSprache = nullptr;
    QAction* mnuDeutsch = nullptr;
    QAction* mnuEnglisch = nullptr;
    QAction* mnuLocator = nullptr;
    QAction* mnuLog = nullptr;
    QMenu* mnuExtr = nullptr;
    QMenu* mnuWSJT = nullptr;
    QAction* mnuWSJTall = nullptr;
    QAction* mnuFSK441Datei = nullptr;
    QAction* mnuCall3 = nullptr;
    QAction* mnuKarte = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuInfo = nullptr;
};

} // namespace kelmora
