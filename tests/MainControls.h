#pragma once

// The controls of the main window, found by their names as a user's tools find them, for the
// suites that drive the window end to end.

#include "platform/Controls.h"
#include "roundsheet/frmMain.h"
#include "storage/RecordControl.h"

#include <QCheckBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>

#include <array>
#include <map>

namespace fixture {

struct MainControls {
    static constexpr int kRows = roundsheet::frmMain::kRows;

    platform::TextBox *txtGroepsCall = nullptr;
    platform::TextBox *txtLocatie = nullptr;
    platform::TextBox *txtFrequentie = nullptr;
    platform::TextBox *txtBand = nullptr;
    platform::TextBox *txtGridHome = nullptr;
    platform::TextBox *txtRondeNR = nullptr;
    platform::TextBox *txtKringbaasCall = nullptr;
    platform::TextBox *txtKringbaasNaam = nullptr;
    platform::TextBox *txtDatum = nullptr;
    QLabel *lblKlok = nullptr;
    QLabel *lblUTC = nullptr;
    QLabel *lblWeek = nullptr;
    platform::ClickLabel *Label5 = nullptr;
    platform::ClickProgressBar *ProgressBar1 = nullptr;
    std::array<QLabel *, kRows> Label6{};
    std::array<platform::TextBox *, kRows> Text1{};
    std::array<platform::TextBox *, kRows> Text2{};
    std::array<platform::TextBox *, kRows> Text3{};
    std::array<platform::TextBox *, kRows> Text4{};
    std::array<platform::TextBox *, kRows> Text5{};
    std::array<QPushButton *, kRows> cmdBeurt{};
    std::array<QCheckBox *, kRows> Check1{};
    std::array<QCheckBox *, kRows> Check2{};
    QToolButton *Command1 = nullptr;
    QToolButton *Command2 = nullptr;
    QPushButton *Command3 = nullptr;
    storage::RecordControl *Data1 = nullptr;
    std::array<platform::TextBox *, 2> txtLoc{};
    std::array<QLabel *, 2> labLat{};
    std::array<QLabel *, 2> labLong{};
    QLabel *labDistance = nullptr;
    QPushButton *cmdCalc = nullptr;
};

namespace detail {

template <typename T>
T *named(const QObject &window, const QString &name) {
    T *found = window.findChild<T *>(name);
    if (!found) {
        qFatal("The main window has no control %s", qPrintable(name));
    }
    return found;
}

inline MainControls findControls(const roundsheet::frmMain &w) {
    MainControls c;
    auto box = [&w](const QString &name) { return named<platform::TextBox>(w, name); };
    c.txtGroepsCall = box(QStringLiteral("txtGroepsCall"));
    c.txtLocatie = box(QStringLiteral("txtLocatie"));
    c.txtFrequentie = box(QStringLiteral("txtFrequentie"));
    c.txtBand = box(QStringLiteral("txtBand"));
    c.txtGridHome = box(QStringLiteral("txtGridHome"));
    c.txtRondeNR = box(QStringLiteral("txtRondeNR"));
    c.txtKringbaasCall = box(QStringLiteral("txtKringbaasCall"));
    c.txtKringbaasNaam = box(QStringLiteral("txtKringbaasNaam"));
    c.txtDatum = box(QStringLiteral("txtDatum"));
    c.lblKlok = named<QLabel>(w, QStringLiteral("lblKlok"));
    c.lblUTC = named<QLabel>(w, QStringLiteral("lblUTC"));
    c.lblWeek = named<QLabel>(w, QStringLiteral("lblWeek"));
    c.Label5 = named<platform::ClickLabel>(w, QStringLiteral("Label5"));
    c.ProgressBar1 = named<platform::ClickProgressBar>(w, QStringLiteral("ProgressBar1"));
    for (int i = 0; i < MainControls::kRows; ++i) {
        const auto n = [i](const char *name) {
            return QStringLiteral("%1_%2").arg(QLatin1String(name)).arg(i);
        };
        c.Label6[size_t(i)] = named<QLabel>(w, n("Label6"));
        c.Text1[size_t(i)] = box(n("Text1"));
        c.Text2[size_t(i)] = box(n("Text2"));
        c.Text3[size_t(i)] = box(n("Text3"));
        c.Text4[size_t(i)] = box(n("Text4"));
        c.Text5[size_t(i)] = box(n("Text5"));
        c.cmdBeurt[size_t(i)] = named<QPushButton>(w, n("cmdBeurt"));
        c.Check1[size_t(i)] = named<QCheckBox>(w, n("Check1"));
        c.Check2[size_t(i)] = named<QCheckBox>(w, n("Check2"));
    }
    c.Command1 = named<QToolButton>(w, QStringLiteral("Command1"));
    c.Command2 = named<QToolButton>(w, QStringLiteral("Command2"));
    c.Command3 = named<QPushButton>(w, QStringLiteral("Command3"));
    c.Data1 = named<storage::RecordControl>(w, QStringLiteral("Data1"));
    for (int i = 0; i < 2; ++i) {
        c.txtLoc[size_t(i)] = box(QStringLiteral("txtLoc_%1").arg(i));
        c.labLat[size_t(i)] = named<QLabel>(w, QStringLiteral("labLat_%1").arg(i));
        c.labLong[size_t(i)] = named<QLabel>(w, QStringLiteral("labLong_%1").arg(i));
    }
    c.labDistance = named<QLabel>(w, QStringLiteral("labDistance"));
    c.cmdCalc = named<QPushButton>(w, QStringLiteral("cmdCalc"));
    return c;
}

}  // namespace detail

// The controls of a main window, found once per window.
inline const MainControls &ui(const roundsheet::frmMain &w) {
    struct Known {
        QPointer<const roundsheet::frmMain> window;
        MainControls controls;
    };
    static std::map<const roundsheet::frmMain *, Known> known;
    Known &entry = known[&w];
    if (entry.window != &w) {
        entry = {&w, detail::findControls(w)};
    }
    return entry.controls;
}

}  // namespace fixture
