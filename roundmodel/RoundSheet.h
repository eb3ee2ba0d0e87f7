#pragma once

#include "storage/Records.h"
#include "storage/Recordset.h"

#include <QDateTime>
#include <QLocale>
#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <optional>

namespace roundmodel {

// What the station and the round show beside the rows, one text each.
enum class Field {
    ClubCall,        // the station's call, kept in the settings with the next four
    Location,        // where the station stands
    Frequency,       // the frequency of the net
    Unit,            // the unit after the frequency
    GridHome,        // the station's own locator
    RoundNumber,     // the round number as the sheet shows it
    ControllerCall,  // stored with the round
    ControllerName,  // stored with the round
    Date,            // stored with the round, as roundDateText writes it
    Progress,        // the line over the progress bar: when the round began and should end
};

// The five texts of a participant's row.
enum class Column { Call, Name, Qth, Topic, Distance };

// Whether participants can be added: not yet chosen at start, on once a new round is begun, off
// while stored rounds are browsed. Kept in the file flag as its word.
enum class RoundMode { NotChosen, On, Off };
QString modeWord(RoundMode mode);

// One participant as the sheet holds it, with what is not stored: the turns and the away mark.
struct Row {
    QString call;
    QString name;
    QString qth;
    QString topic;
    QString distance;  // whole kilometres as text; empty without two valid locators
    int turns = 0;
    bool away = false;
    bool listening = false;
    QDateTime placedAt;  // UTC, when the call was placed from the call entry box
};

// The round on screen, its owner: the station fields, the controller and the date, the 30 rows,
// the round mode, the planned time, the row whose turn it is, and the cursor over the stored
// rounds that this sheet shows and edits. Every change is signalled, so that any view follows
// it; views turn the user's actions into the operations below and never hold state of their own.
//
// The stored rounds are the records of table ronde: moving to another round first stores the
// edits of the one on screen (only the fields that were edited), then shows the other one; a
// new round stays pending until it is stored. Distances are never shown from a stored round:
// the sheet shows them empty, and only a row whose call is changed gets a new one.
class RoundSheet : public QObject, private storage::RecordView {
    Q_OBJECT

public:
    static constexpr int kRows = storage::Round::kRows;

    // The ham that a call is looked up to; none when unknown or the list cannot be read.
    using HamLookUp = std::function<std::optional<storage::Ham>(const QString &call)>;

    explicit RoundSheet(QObject *parent = nullptr);
    ~RoundSheet() override;

    void setHamLookUp(HamLookUp lookUp) { lookUp_ = std::move(lookUp); }

    // --- the values ---
    const QString &text(Field field) const { return texts_[size_t(field)]; }
    const Row &row(int index) const { return rows_[size_t(index)]; }
    const QString &cell(int index, Column column) const;
    RoundMode mode() const { return mode_; }
    // The planned round time as it was typed or read from the file rondetijd.
    const QString &plannedTime() const { return plannedTime_; }
    QDateTime beginTime() const { return beginTime_; }  // UTC; invalid before a round began
    // The row whose station has the turn: the one the sheet highlights and the live page shows.
    // -1 while nobody has it: before the first turn, and once that station is marked away or
    // listening (clearing the mark does not give the turn back).
    int turnRow() const { return turnRow_; }
    // The caption of a row's turn button: "Beurt", then "Beurt  " and the count.
    QString turnCaption(int index) const;
    // The round as the sheet shows it now, edits included.
    storage::Round round() const;
    // The locator distances are computed from: the station's own, as the calculator holds it.
    const QString &homeLocator() const { return homeLocator_; }

    // --- what the user changes ---
    // A station or round field typed in. The controller, name and date count as edits of the
    // round on screen.
    void setText(Field field, const QString &text);
    // A row's text typed in. A changed call is looked up; a QTH is upper case.
    void setCell(int index, Column column, const QString &text);
    // A row without a call keeps no other data.
    void applyEmptyCallRule(int index);
    // The next turn goes to this row's station; a row without a call has none.
    void giveTurn(int index);
    void setAway(int index, bool away);
    void setListening(int index, bool listening);
    // "wis": every row's texts emptied, the calls as if typed away.
    void wipe();
    void setMode(RoundMode mode);
    void setPlannedTime(const QString &text);
    void setHomeLocator(const QString &locator);

    // --- leading a round ---
    // Whether participants can be added now. Never while stored rounds are only browsed (mode
    // "uit"); while a round is led, only while that round is on screen, so no call can go into
    // another round. Coming back to the round being led allows it again.
    bool addingAllowed() const;
    // The round on screen is the one being led (begun with addNew, stored or not).
    bool showsLedRound() const;
    // A new round, pending until stored; its number is one more than the stored rounds. It is
    // the round being led from now on. False when it cannot be begun (lastError() says why):
    // the round on screen then stays as it was, with its edits.
    bool addNew();
    // Browsing: the latest stored round is shown again, a pending new round with no edits
    // dropped, participants cannot be added.
    void browseLatest();
    // The new round begins with this controller: the planned time, the date, the controller in
    // the first row as "Kringbaas" with the distance of its own look-up, and the line over the
    // bar, all as of localNow. Distances of the rows shown before are gone. Not stored yet.
    void begin(const QString &controllerCall, const QString &controllerName,
               const QString &plannedTime, const QDateTime &localNow, const QLocale &locale);
    // One reading of the clock, local and UTC.
    struct Moment {
        QDateTime local;
        QDateTime utc;
    };
    using Now = std::function<Moment()>;
    // The same, with the clock read once the controller stands on the sheet, after any question
    // its look-up asked: the line over the bar, the date and the begin time all come from that
    // one reading.
    void begin(const QString &controllerCall, const QString &controllerName,
               const QString &plannedTime, const Now &now, const QLocale &locale);
    // When the round began (UTC, kept to the second): once its controller stands on the sheet,
    // after any question the look-up asked.
    void setBeginTime(const QDateTime &utc);

    enum class Placing { Placed, Duplicate, Full, NotAllowed };
    // A call from the call entry box goes into the first empty row, with the time it was
    // placed; a call already on the sheet is refused, and so is any call when all rows are taken
    // or participants cannot be added (addingAllowed).
    // Blanks alone place an empty call (which takes nothing) and are never a duplicate. The
    // time is asked once the call stands in its row, after any question the look-up asked.
    using UtcClock = std::function<QDateTime()>;
    Placing placeCall(const QString &typed, const UtcClock &utcNow);
    Placing placeCall(const QString &typed, const QDateTime &utcNow) {
        return placeCall(typed, [utcNow] { return utcNow; });
    }

    // --- the stored rounds ---
    // Opens table ronde of the database file; the first round is shown.
    bool open(const QString &databasePath);
    // The same on the connection the start check opened, which the sheet takes over.
    bool open(std::unique_ptr<storage::Database> database);
    // Stores pending edits and closes the table.
    bool close();
    // Stores the round on screen at once and stays on it: the round number and the position
    // follow a round that was new.
    bool store();
    // Stores pending edits or a new round (Update); true when nothing was pending.
    bool storePending();
    bool hasPending() const;
    // The latest stored round, as the program shows it shortly after start.
    void showLatest();
    enum class Removal { Removed, LastOne, BeingLed };
    // The round on screen is removed (a pending new round is dropped unstored) and the latest
    // shown. The last stored round stays, and so does the stored round being led.
    Removal removeShown();
    // Moves over the stored rounds, as the navigation bar does.
    storage::Recordset &records() { return records_; }
    const storage::Recordset &records() const { return records_; }
    const storage::StorageError &lastError() const { return records_.lastError(); }
    // Position (1-based) and count for the caption "Ronde : n van de m".
    QString positionCaption() const;
    // True while a stored round is being put on the sheet.
    bool isShowing() const { return showing_; }
    // The edits since the round on screen was shown or stored.
    bool isEdited() const { return !edited_.empty(); }

Q_SIGNALS:
    void textChanged(roundmodel::Field field);
    void cellChanged(int index, roundmodel::Column column);
    void awayChanged(int index);
    void listeningChanged(int index);
    // The turn went from previousRow to row; either is -1 for nobody.
    void turnChanged(int previousRow, int row);
    // Whether participants can be added changed (addingAllowed).
    void addingChanged(bool allowed);
    void modeChanged(roundmodel::RoundMode mode);
    void plannedTimeChanged();
    void beginTimeChanged();
    // A call was looked up and its ham found: the calculator takes the ham's locator. While a
    // stored round is shown (showing) the rows keep their stored values.
    void hamLookedUp(const QString &locator, bool showing);
    // A stored round stands on the sheet; the locator of the last ham looked up that had a valid
    // one (empty when none), for the calculator to show its distance once.
    void roundShown(const QString &lastValidLocator);
    // The round on screen was stored and stays on the sheet.
    void stored();
    // The round on screen is about to be left.
    void leaving();

private:
    // What the record cursor needs of the sheet.
    void showRecord(const storage::RecordValues &values) override;
    void repositioned() override;
    void validate(storage::DataAction action, bool changed) override;
    std::vector<int> shownFields() const override;
    std::vector<int> changedFields() const override;
    storage::RecordValues shownValues() const override;
    void clearChanged() override { edited_.clear(); }

    void putText(Field field, const QString &text);
    void putCell(int index, Column column, const QString &text);
    void markEdited(int field);
    void setCall(int index, const QString &text);
    void lookUp(int index, const QString &call);
    void clearDistances();
    void numberFromPosition();
    void dropTurnOf(int index);
    // The round being led follows the cursor: a pending one that was stored is known by its
    // bookmark from then on; one that was dropped is led no more.
    void followLed();
    void noteAdding();

    storage::Recordset records_{*this};
    HamLookUp lookUp_;
    std::array<QString, 10> texts_;
    std::array<Row, kRows> rows_;
    RoundMode mode_ = RoundMode::NotChosen;
    QString plannedTime_;
    QDateTime beginTime_;
    int turnRow_ = -1;
    QString homeLocator_;
    std::vector<int> edited_;  // fields of table ronde edited since shown or stored
    bool showing_ = false;
    QString lastValidLocator_;  // of the look-ups while a round is shown
    // The round being led: none before a new round is begun or while stored rounds are browsed;
    // pending until it is stored, then the stored record; ended when it was dropped unstored.
    enum class Led { None, Pending, Stored, Ended };
    Led led_ = Led::None;
    storage::Bookmark ledBookmark_ = storage::kNoBookmark;
    storage::Bookmark modifiedBeforeNew_ = storage::kNoBookmark;
    bool adding_ = true;  // addingAllowed() as last signalled
};

}  // namespace roundmodel
