// The main window's controls, placed as the layout gives them in twips.

#include "roundsheet/frmMain.h"

#include "platform/Twips.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

namespace roundsheet {

using platform::twips;
using platform::twipsRect;

namespace {

// Client area of the fixed window.
constexpr int kClientWidth = 18735;
constexpr int kClientHeight = 13290;

// Rows: 360 twips apart; the text boxes and the turn button of row 1 at 1680, its number label
// and listening box at 1360 + 360 and its away box 40 twips lower.
constexpr int kRowPitch = 360;
constexpr int kRowTop = 1680;

template <typename W>
W *place(W *widget, int left, int top, int width, int height) {
    widget->setGeometry(twipsRect(left, top, width, height));
    return widget;
}

QLabel *label(QWidget *parent, const QString &text, int left, int top, int width, int height,
              QWidget *buddy = nullptr) {
    auto *l = place(new QLabel(text, parent), left, top, width, height);
    if (buddy) {
        l->setBuddy(buddy);
        buddy->setAccessibleName(text.trimmed());
    }
    return l;
}

// A label that shows a value (a clock, a latitude) keeps its text as what a screen reader reads:
// an accessible name would replace it. What the value is comes from its caption beside it (the
// label relation) and from its description.
void showsValue(QLabel *value, const QString &what, QLabel *caption = nullptr) {
    value->setAccessibleDescription(what);
    if (caption) {
        caption->setBuddy(value);
    }
}

platform::TextBox *textBox(QWidget *parent, const char *name, int left, int top, int width,
                           int height) {
    auto *box = place(new platform::TextBox(parent), left, top, width, height);
    box->setObjectName(QString::fromLatin1(name));
    return box;
}

QString rowNumberText(int index) {
    // " 1" to " 9", then "10" to "30".
    return QStringLiteral("%1").arg(index + 1, 2);
}

// The pictures of the picture buttons, the same on every desktop: Qt's own, which come with the
// library. Given with their sizes, they are read when first painted; asking the desktop's icon
// theme instead would read its index files while the window is made.
QIcon pictureIcon(const char *name) {
    QIcon icon;
    for (const int size : {16, 32, 128}) {
        icon.addFile(QStringLiteral(":/qt-project.org/styles/commonstyle/images/%1-%2.png")
                         .arg(QLatin1String(name))
                         .arg(size),
                     QSize(size, size));
    }
    return icon;
}

}  // namespace

void frmMain::createControls() {
    setWindowTitle(QStringLiteral("ZUD arizizirirod"));
    // A fixed single border: no minimise and no maximise button.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::MSWindowsFixedSizeDialogHint);
    const QFont font = platform::verdana(9);
    setFont(font);

    auto *client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(twips(kClientWidth), twips(kClientHeight));
    setCentralWidget(client);

    // The frame first, so everything else lies on top of it.
    auto *frame = place(new QGroupBox(QStringLiteral("Deelnemers"), client), 120, 0, 18495, 12855);
    frame->setObjectName(QStringLiteral("Frame1"));

    Command1 = place(new QToolButton(client), 600, 360, 1335, 975);
    Command1->setObjectName(QStringLiteral("Command1"));
    // A picture button wraps its caption under the icon.
    Command1->setText(QStringLiteral("Deelnemer\nToevoegen"));
    Command1->setIcon(pictureIcon("newdirectory"));
    Command2 = place(new QToolButton(client), 2160, 360, 1335, 975);
    Command2->setObjectName(QStringLiteral("Command2"));
    Command2->setText(QStringLiteral("Notities"));
    Command2->setIcon(pictureIcon("viewdetailed"));
    // Picture buttons take the focus from a click, as buttons do.
    for (QToolButton *button : {Command1, Command2}) {
        button->setFocusPolicy(Qt::StrongFocus);
        button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        button->setIconSize(QSize(twips(480), twips(480)));
        button->setAccessibleName(button->text().replace(QLatin1Char('\n'), QLatin1Char(' ')));
    }

    // Round fields.
    txtKringbaasCall = textBox(client, "txtKringbaasCall", 5160, 360, 1695, 255);
    label(client, QStringLiteral("Kringbaas"), 3960, 375, 1215, 255, txtKringbaasCall);
    txtKringbaasNaam = textBox(client, "txtKringbaasNaam", 5160, 720, 4815, 255);
    label(client, QStringLiteral("Naam"), 3600, 720, 1455, 255, txtKringbaasNaam)
        ->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtDatum = textBox(client, "txtDatum", 5160, 1080, 4815, 255);
    label(client, QStringLiteral("Datum"), 4320, 1080, 735, 255, txtDatum)
        ->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtRondeNR = textBox(client, "txtRondeNR", 8760, 360, 1215, 255);
    label(client, QStringLiteral("Rondenummer"), 7200, 375, 1455, 255, txtRondeNR);

    // Station fields.
    txtGroepsCall = textBox(client, "txtGroepsCall", 11520, 360, 1215, 255);
    label(client, QStringLiteral("Zender Call"), 10320, 375, 1095, 255, txtGroepsCall);
    txtGridHome = textBox(client, "txtGridHome", 13320, 360, 975, 255);
    label(client, QStringLiteral("Grid"), 12920, 360, 495, 255, txtGridHome);
    txtLocatie = textBox(client, "txtLocatie", 11520, 720, 2775, 255);
    label(client, QStringLiteral("Locatie"), 10320, 720, 1095, 255, txtLocatie);
    txtFrequentie = textBox(client, "txtFrequentie", 11520, 1080, 1215, 255);
    label(client, QStringLiteral("Frequentie"), 10320, 1080, 1095, 255, txtFrequentie);
    txtBand = textBox(client, "txtBand", 12960, 1080, 1335, 255);
    txtBand->setAccessibleName(QStringLiteral("Eenheid"));

    // Clocks.
    QLabel *clockCaption = label(client, QStringLiteral("Huidige Tijd:"), 16800, 240, 1335, 255);
    lblKlok = place(new QLabel(client), 16320, 480, 1815, 495);
    lblKlok->setObjectName(QStringLiteral("lblKlok"));
    lblKlok->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QFont clockFont = font;
    clockFont.setPointSize(18);
    clockFont.setBold(true);
    lblKlok->setFont(clockFont);
    lblWeek = place(new QLabel(QStringLiteral("52"), client), 16560, 960, 1575, 255);
    lblWeek->setObjectName(QStringLiteral("lblWeek"));
    lblWeek->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QLabel *utcCaption = label(client, QStringLiteral("UTC Tijd : "), 16100, 1320, 975, 255);
    lblUTC = place(new QLabel(client), 17040, 1320, 1095, 255);
    lblUTC->setObjectName(QStringLiteral("lblUTC"));
    lblUTC->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    showsValue(lblKlok, QStringLiteral("Huidige Tijd"), clockCaption);
    showsValue(lblUTC, QStringLiteral("UTC Tijd"), utcCaption);
    showsValue(lblWeek, QStringLiteral("Weeknummer"));

    // Column headings.
    const char *headings[] = {"Call", "Naam", "QTH", "Km <->", "Gespreks onderwerp / opmerking"};
    const int headingLeft[] = {600, 2760, 6120, 9120, 10080};
    const int headingWidth[] = {735, 1335, 975, 735, 3855};
    for (int c = 0; c < 5; ++c) {
        label(client, QString::fromLatin1(headings[c]), headingLeft[c], 1440, headingWidth[c], 255);
    }

    createRows(client);

    Command3 = place(new QPushButton(QStringLiteral("wis"), client), 600, 12480, 615, 255);
    Command3->setObjectName(QStringLiteral("Command3"));
    Command3->setAccessibleName(QStringLiteral("wis"));

    Label5 = place(new platform::ClickLabel(sheet_.text(roundmodel::Field::Progress), client), 3600,
                   12600, 7335, 255);
    Label5->setObjectName(QStringLiteral("Label5"));
    showsValue(Label5, QStringLiteral("Voortgang geplande tijd"));

    Data1 = place(new storage::RecordControl(client), 120, 12840, 3375, 375);
    Data1->setObjectName(QStringLiteral("Data1"));

    ProgressBar1 = place(new platform::ClickProgressBar(client), 3600, 12885, 15015, 270);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setTextVisible(false);
    ProgressBar1->setAccessibleName(QStringLiteral("Voortgang geplande tijd"));

    // Below the visible client area.
    createCalculator(client);

    createMenus();
    createTimers();
    setFixedSize(sizeHint());
}

void frmMain::createRows(QWidget *client) {
    turnButtonStyle_ = new TurnButtonStyle;
    turnButtonStyle_->setParent(this);
    const int left[] = {240, 600, 2760, 6120, 9120, 10080, 14400, 15960, 16920};
    const int width[] = {255, 2055, 3250, 2895, 855, 4295, 1335, 735, 1215};
    for (int i = 0; i < kRows; ++i) {
        const int top = kRowTop + kRowPitch * i;
        const QString row = QString::number(i + 1);
        const QString rowDescription = QStringLiteral("rij ") + row;

        Label6[i] = place(new QLabel(rowNumberText(i), client), left[0], top + 40, width[0], 255);
        Label6[i]->setObjectName(QStringLiteral("Label6_%1").arg(i));
        auto rowBox = [&](const char *name, int column, const char *accessible) {
            auto *box = textBox(client, name, left[column], top, width[column], 375);
            box->setObjectName(QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(i));
            box->setAccessibleName(QLatin1String(accessible) + QLatin1Char(' ') + row);
            return box;
        };
        Text1[i] = rowBox("Text1", 1, "Call");
        Text2[i] = rowBox("Text2", 2, "Naam");
        Text3[i] = rowBox("Text3", 3, "QTH");
        Text5[i] = rowBox("Text5", 4, "Km");
        Text4[i] = rowBox("Text4", 5, "Onderwerp");
        QFont bold = Text2[i]->font();
        bold.setBold(true);
        Text2[i]->setFont(bold);
        Text1[i]->setCursor(Qt::PointingHandCursor);
        // A row's call is only ever placed by the program.
        Text1[i]->setProgramTextOnly(true);

        cmdBeurt[i] =
            place(new QPushButton(QStringLiteral("Beurt"), client), left[6], top, width[6], 375);
        cmdBeurt[i]->setObjectName(QStringLiteral("cmdBeurt_%1").arg(i));
        cmdBeurt[i]->setStyle(turnButtonStyle_);
        Check1[i] =
            place(new QCheckBox(QStringLiteral("Weg"), client), left[7], top + 80, width[7], 210);
        Check1[i]->setObjectName(QStringLiteral("Check1_%1").arg(i));
        Check2[i] = place(new QCheckBox(QStringLiteral("Luisteren"), client), left[8], top + 40,
                          width[8], 255);
        Check2[i]->setObjectName(QStringLiteral("Check2_%1").arg(i));
        for (QWidget *w : std::initializer_list<QWidget *>{cmdBeurt[i], Check1[i], Check2[i]}) {
            w->setAccessibleDescription(rowDescription);
        }
        cmdBeurt[i]->setAccessibleName(cmdBeurt[i]->text());
        Check1[i]->setAccessibleName(Check1[i]->text());
        Check2[i]->setAccessibleName(Check2[i]->text());
        // Nobody has the turn yet: the text boxes' colour on the whole row, buttons included.
        setRowBackground(i, rowColour());
    }
}

void frmMain::createCalculator(QWidget *client) {
    for (int i = 0; i < 2; ++i) {
        const int top = 13920 + 360 * i;
        txtLoc[i] = textBox(client, i == 0 ? "txtLoc_0" : "txtLoc_1", 1320, top, 1215, 255);
        label(client, QStringLiteral("Locator %1").arg(i + 1), 240, top, 1000, 255, txtLoc[i]);
        labLat[i] = place(new QLabel(client), 2760, top, 2900, 255);
        labLat[i]->setObjectName(QStringLiteral("labLat_%1").arg(i));
        showsValue(labLat[i], QStringLiteral("Latitude"));
        labLong[i] = place(new QLabel(client), 5760, top, 2900, 255);
        labLong[i]->setObjectName(QStringLiteral("labLong_%1").arg(i));
        showsValue(labLong[i], QStringLiteral("Longitude"));
    }
    labDistance = place(new QLabel(client), 8880, 13920, 1500, 255);
    labDistance->setObjectName(QStringLiteral("labDistance"));
    showsValue(labDistance, QStringLiteral("Distance"));
    cmdCalc = place(new QPushButton(QStringLiteral("Bereken"), client), 10560, 13920, 1200, 375);
    cmdCalc->setObjectName(QStringLiteral("cmdCalc"));
}

void frmMain::createMenus() {
    auto action = [this](QMenu *menu, const QString &caption, const QKeySequence &shortcut = {}) {
        QAction *a = menu->addAction(caption);
        a->setShortcut(shortcut);
        return a;
    };
    QMenu *opties = menuBar()->addMenu(QStringLiteral("Opties"));
    rondestarten =
        action(opties, QStringLiteral("Nieuwe Ronde Starten"), QKeySequence(Qt::CTRL | Qt::Key_S));
    rondeuitprinten =
        action(opties, QStringLiteral("Ronde Uitprinten"), QKeySequence(Qt::CTRL | Qt::Key_P));
    printerselect = action(opties, QStringLiteral("Printer Setup"));
    rondeexporteren = action(opties, QStringLiteral("Ronde Exporteren naar PDF"),
                             QKeySequence(Qt::CTRL | Qt::Key_E));
    spraak = action(opties, QStringLiteral("Spraak "));
    spraak->setCheckable(true);
    spraak->setChecked(true);
    verwijderronde = action(opties, QStringLiteral("Verwijder onderliggende ronde"),
                            QKeySequence(Qt::CTRL | Qt::Key_D));
    exitprog =
        action(opties, QStringLiteral("Exit  programma"), QKeySequence(Qt::CTRL | Qt::Key_X));

    rondetijd = menuBar()->addAction(QStringLiteral("Ronde Tijd"));
    QMenu *apps = menuBar()->addMenu(QStringLiteral("Apps"));
    whatsapp = apps->addAction(QStringLiteral("WhatsApp"));
    jitsy = apps->addAction(QStringLiteral("Jitsy"));
    hamlijst = menuBar()->addAction(QStringLiteral("HAM-lijst"));
    help = menuBar()->addAction(QStringLiteral("Help"));
}

void frmMain::createTimers() {
    auto timer = [this](const char *name, int interval, bool singleShot) {
        return services_.timers.make(this, name, interval, singleShot);
    };
    startupTimer = timer("startupTimer", 75, true);
    Timer1 = timer("Timer1", 100, false);
    tmrRonde = timer("tmrRonde", 333, true);
    tmrToeVoeg = timer("tmrToeVoeg", 222, true);
    // The round's progress is computed from the clock, so the bar needs a look only a few times
    // a second, not every millisecond.
    tmrRondeTijd = timer("tmrRondeTijd", 250, false);
}

void frmMain::placeRows() {
    for (int i = 0; i < kRows; ++i) {
        const int labelTop = 1360 + kRowPitch * (i + 1);
        Label6[i]->move(Label6[i]->x(), twips(labelTop));
        Check2[i]->move(Check2[i]->x(), twips(labelTop));
        Check1[i]->move(Check1[i]->x(), twips(labelTop + 40));
    }
}

}  // namespace roundsheet
