#pragma once

#include "live/LiveShare.h"
#include "platform/Controls.h"
#include "platform/FileChooser.h"
#include "platform/PrinterSurface.h"
#include "platform/Services.h"
#include "roundmodel/RoundSheet.h"
#include "storage/HamLookup.h"
#include "storage/RecordControl.h"
#include "storage/Records.h"
#include "storage/Settings.h"
#include "timing/RoundTime.h"

#include <QMainWindow>
#include <QPointer>
#include <QProxyStyle>

#include <array>
#include <functional>

class QAction;
class QCheckBox;
class QGroupBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QToolButton;

namespace hamlist {
class frmAmateur;
}
namespace notes {
class frmNotities;
}
namespace extra {
class frmLive;
}

namespace roundsheet {

using Services = platform::Services;

// How the turn buttons are drawn: their face plainly in the button colour of their palette.
class TurnButtonStyle : public QProxyStyle {
public:
    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
};

// The main window: the station data of the club, the round on screen with its 30 participant
// rows, the clocks, the navigation over the stored rounds, the hidden locator calculator and the
// menus from which everything else is reached. It is the view of the round sheet
// (roundmodel::RoundSheet), which owns the round: the controls show the sheet's values and turn
// the user's actions into its operations. Other windows talk to the sheet or to the functions
// below, never to the controls.
class frmMain : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kRows = 30;

    frmMain(QString dataFolder, Services services, QWidget *parent = nullptr);
    ~frmMain() override;

    // The start-up sequence: settings, date, week, rows, and the stored rounds. Each step that
    // fails is skipped. The stored rounds are read through the connection the start check
    // opened when it is given, else the database file is opened.
    void load(std::unique_ptr<storage::Database> database = nullptr);

    const QString &dataFolder() const { return dataFolder_; }
    Services services() const { return services_; }
    const storage::Settings &settings() const { return settings_; }

    // The start dialog, modal over this window; a round begun there opens the call entry box.
    void showStartDialog();
    // The call entry box, modal over this window.
    void showCallEntry();
    // Stores the round on screen at once, staying on it.
    void storeRound();
    // A call went onto the sheet from the call entry box: stored when worth it, and a fresh box
    // follows shortly.
    void callPlaced(bool worthStoring);
    // No fresh call entry box follows (the round is full, or takes no calls).
    void endCallSeries();

    // The round on screen.
    roundmodel::RoundSheet &sheet() { return sheet_; }
    const roundmodel::RoundSheet &sheet() const { return sheet_; }
    // The round as the sheet shows it now, edits included.
    storage::Round round() const { return sheet_.round(); }

    // What the start dialog sets going: participants can be added (and the sheet wiped), the
    // round begins with this controller, and the round is stored.
    void setAddingEnabled(bool enabled);
    void setWipeEnabled(bool enabled);
    void beginRound(const QString &controllerCall, const QString &controllerName);

    platform::Timer *startupTimer = nullptr;
    platform::Timer *Timer1 = nullptr;
    platform::Timer *tmrRonde = nullptr;
    platform::Timer *tmrToeVoeg = nullptr;
    platform::Timer *tmrRondeTijd = nullptr;

    QAction *rondestarten = nullptr;
    QAction *rondeuitprinten = nullptr;
    QAction *printerselect = nullptr;
    QAction *rondeexporteren = nullptr;
    QAction *spraak = nullptr;
    QAction *verwijderronde = nullptr;
    QAction *exitprog = nullptr;
    QAction *rondetijd = nullptr;
    QAction *whatsapp = nullptr;
    QAction *jitsy = nullptr;
    QAction *hamlijst = nullptr;
    QAction *help = nullptr;

    // The printer of the print-out, the PDF export, printer setup and the tips' print; until
    // one is given those do nothing.
    void setPrinterSurface(platform::PrinterSurface *printer) { printer_ = printer; }
    // The file dialogs of the menu "Extra"; until one is given its exports and imports do
    // nothing. The chooser is told to keep the database's files out of every choice (the PDF
    // export uses it as well).
    void setFileChooser(platform::FileChooser *files);

    // Makes the server of the live page; until one is given the round cannot be shared.
    void setSharingFactory(live::LiveShare::Factory factory);
    // Sharing the round as a live page; none until a factory is given.
    live::LiveShare *liveShare() const { return share_.get(); }
    // Shares the round again when the user chose so (settings file live); said when it cannot.
    // Called once the window shows.
    void resumeSharing();
    // The window of "Live lijst delen…" while it is open.
    extra::frmLive *liveWindow() const;

    // The ham list window, made when it does not exist yet. Made after look-ups, it stands on
    // the ham the last successful look-up found.
    hamlist::frmAmateur *amateurWindow();

    // The ham with this call (trimmed, upper case), the first in the list; nothing when the call
    // is not there or the list cannot be read.
    std::optional<storage::Ham> lookUpHam(const QString &call);

    // π as the distance computation uses it, computed at load.
    double pi = 0;

    // Handlers, one per control and event.
    void startupTimer_Timer();
    void tmrRonde_Timer();
    void cmdCalc_Click();
    void txtGridHome_LostFocus();
    void txtBand_LostFocus();
    void Text1_DblClick(int index);
    void whatsapp_Click();
    void jitsy_Click();
    void exitprog_Click();
    void hamlijst_Click();
    void rondestarten_Click();
    void verwijderronde_Click();
    void Command1_Click();
    void Command1_LostFocus();
    void Command3_Click();
    void tmrToeVoeg_Timer();
    // Printing and the tips (frmMain_print.cpp).
    void rondeuitprinten_Click();
    void rondeexporteren_Click();
    void printerselect_Click();
    void help_Click();
    // The menu "Extra" (frmMain_extra.cpp).
    void adifronde_Click();
    void adifperiode_Click();
    void statistieken_Click();
    void hamexport_Click();
    void hamimport_Click();
    void livelijst_Click();
    QAction *adifronde = nullptr;
    QAction *livelijst = nullptr;
    QAction *adifperiode = nullptr;
    QAction *statistieken = nullptr;
    QAction *hamexport = nullptr;
    QAction *hamimport = nullptr;
    // The rows.
    void Text1_Change(int index);  // the look-up of the row's call
    void Text1_KeyUp(int index, int key, Qt::KeyboardModifiers modifiers);
    void Text2_DblClick(int index);
    void Text3_Change(int index);
    void Text3_LostFocus(int index);
    void emptyCallRule(int index);
    void cmdBeurt_Click(int index);
    void Check1_Click(int index);
    void Check2_Click(int index);
    void Data1_Validate();
    void Data1_Reposition();
    void Data1_Error(int dataErr, const QString &description, int *response);
    // Clocks, round time, speech and notes.
    void Timer1_Timer();
    void tmrRondeTijd_Timer();
    // Shows the round time on the bar as it stands now, and returns what it found.
    timing::RoundTime::Look showRoundTime(qint64 nowMs);
    void ProgressBar1_Click();
    void rondetijd_Click();
    void spraak_Click();
    void Command2_Click();
    // The notes window while it is open.
    notes::frmNotities *notesWindow() const;

private:
    // Station fields (kept in the settings file basis).
    platform::TextBox *txtGroepsCall = nullptr;
    platform::TextBox *txtLocatie = nullptr;
    platform::TextBox *txtFrequentie = nullptr;
    platform::TextBox *txtBand = nullptr;
    platform::TextBox *txtGridHome = nullptr;

    // Round fields.
    platform::TextBox *txtRondeNR = nullptr;
    platform::TextBox *txtKringbaasCall = nullptr;
    platform::TextBox *txtKringbaasNaam = nullptr;
    platform::TextBox *txtDatum = nullptr;

    // Clocks and round time.
    QLabel *lblKlok = nullptr;
    QLabel *lblUTC = nullptr;
    QLabel *lblWeek = nullptr;
    platform::ClickLabel *Label5 = nullptr;
    platform::ClickProgressBar *ProgressBar1 = nullptr;

    // The round sheet, one element per row.
    std::array<QLabel *, kRows> Label6{};
    std::array<platform::TextBox *, kRows> Text1{};  // call
    std::array<platform::TextBox *, kRows> Text2{};  // name
    std::array<platform::TextBox *, kRows> Text3{};  // QTH
    std::array<platform::TextBox *, kRows> Text4{};  // topic / remark
    std::array<platform::TextBox *, kRows> Text5{};  // distance
    std::array<QPushButton *, kRows> cmdBeurt{};
    std::array<QCheckBox *, kRows> Check1{};  // away
    std::array<QCheckBox *, kRows> Check2{};  // listening

    QToolButton *Command1 = nullptr;  // "Deelnemer Toevoegen"
    QToolButton *Command2 = nullptr;  // "Notities"
    QPushButton *Command3 = nullptr;  // "wis"

    storage::RecordControl *Data1 = nullptr;

    // The locator calculator, below the visible part of the window.
    std::array<platform::TextBox *, 2> txtLoc{};
    std::array<QLabel *, 2> labLat{};
    std::array<QLabel *, 2> labLong{};
    QLabel *labDistance = nullptr;
    QPushButton *cmdCalc = nullptr;
    TurnButtonStyle *turnButtonStyle_ = nullptr;  // of the turn buttons; a child of the window

    // The controls follow the sheet, and the user's edits go to it (frmMain_rows.cpp).
    void connectSheet();
    platform::TextBox *boxOf(roundmodel::Field field) const;
    platform::TextBox *boxOf(int index, roundmodel::Column column) const;
    void showText(roundmodel::Field field);
    void showCell(int index, roundmodel::Column column);
    void showMark(QCheckBox *mark, bool on, int index, QCheckBox *otherMark);
    void showTurn(int previousRow, int row);
    void showAdding(bool allowed);
    QColor rowColour() const;
    void showPosition();
    void calculatorShows(const QString &locator, bool showing);
    void roundShown(const QString &lastValidLocator);

    // The clocks, the round time and the notes (frmMain_timing.cpp).
    void connectTiming();
    void closeNotes();
    // A message box of the clocks and the round time.
    platform::MessageAnswer timingMessage(const QString &text);
    QPointer<notes::frmNotities> notes_;
    timing::RoundTime roundTime_;
    bool timingBoxShown_ = false;  // one of the round time's own boxes is on screen

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool isMenuShortcut(const QKeyEvent *key) const;

private:
    void createControls();
    void createRows(QWidget *client);
    void createCalculator(QWidget *client);
    void createMenus();
    void createTimers();
    void createExtras();  // the time fields and the menu "Extra" (frmMain_extra.cpp)
    std::function<QString(const QString &)> gridOfCall();
    void placeRows();
    void connectRows();
    void freezeRow(int index, QCheckBox *otherMark, bool frozen);
    void setRowBackground(int index, const QColor &color);
    void restoreMouse();
    void reportStoreFailure();
    bool storeBeforeClosing();
    void showSharing(bool on);

    QString dataFolder_;
    Services services_;
    roundmodel::RoundSheet sheet_;
    storage::Settings settings_;
    QPointer<hamlist::frmAmateur> amateur_;
    storage::HamLookup hamLookup_;
    storage::Bookmark lastFoundHam_ = storage::kNoBookmark;
    QPointer<QDialog> callEntry_;
    platform::PrinterSurface *printer_ = nullptr;
    platform::FileChooser *files_ = nullptr;
    std::unique_ptr<live::LiveShare> share_;
    QPointer<extra::frmLive> liveWindow_;
    QString title_;  // the window's title while the round is not shared
    bool closing_ = false;
    bool centred_ = false;
    bool busy_ = false;
};

}  // namespace roundsheet
