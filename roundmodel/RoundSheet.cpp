#include "roundmodel/RoundSheet.h"

#include "geo/Locator.h"
#include "roundmodel/DateTexts.h"
#include "timing/Clocks.h"
#include "timing/PlannedTime.h"

#include <QScopedValueRollback>

#include <algorithm>
#include <utility>

namespace roundmodel {

namespace {

using storage::RowField;

int fieldOf(Column column, int index) {
    switch (column) {
        case Column::Call:
            return storage::rondeFieldIndex(RowField::Call, index);
        case Column::Name:
            return storage::rondeFieldIndex(RowField::Name, index);
        case Column::Qth:
            return storage::rondeFieldIndex(RowField::Qth, index);
        case Column::Topic:
            return storage::rondeFieldIndex(RowField::Topic, index);
        case Column::Distance:
            return storage::rondeFieldIndex(RowField::Distance, index);
    }
    return -1;
}

// The round fields among the texts; -1 for those that are not stored.
int fieldOf(Field field) {
    switch (field) {
        case Field::ControllerCall:
            return storage::rondeFieldIndex(storage::RoundField::ControllerCall);
        case Field::Date:
            return storage::rondeFieldIndex(storage::RoundField::Date);
        case Field::ControllerName:
            return storage::rondeFieldIndex(storage::RoundField::ControllerName);
        default:
            return -1;
    }
}

template <typename R>
auto &cellOf(R &row, Column column) {
    switch (column) {
        case Column::Call:
            return row.call;
        case Column::Name:
            return row.name;
        case Column::Qth:
            return row.qth;
        case Column::Topic:
            return row.topic;
        case Column::Distance:
            break;
    }
    return row.distance;
}

constexpr Column kColumns[] = {Column::Call, Column::Name, Column::Qth, Column::Topic,
                               Column::Distance};

// A text as a text box gives it back: never null, so a stored empty text is '' and not NULL.
QString boxText(const QString &text) {
    return text.isNull() ? QStringLiteral("") : text;
}

bool sameText(const QString &a, const QString &b) {
    return a == b && a.isNull() == b.isNull();
}

bool bothValid(const QString &home, const QString &other) {
    return geo::LocatorCalculator::IsValidLocator(home) &&
           geo::LocatorCalculator::IsValidLocator(other);
}

}  // namespace

QString modeWord(RoundMode mode) {
    switch (mode) {
        case RoundMode::On:
            return QStringLiteral("aan");
        case RoundMode::Off:
            return QStringLiteral("uit");
        case RoundMode::NotChosen:
            break;
    }
    return QStringLiteral("Text6");
}

RoundSheet::RoundSheet(QObject *parent) : QObject(parent) {
    for (QString &text : texts_) {
        text = QStringLiteral("");
    }
    for (Row &row : rows_) {
        for (Column column : kColumns) {
            cellOf(row, column) = QStringLiteral("");
        }
    }
}

RoundSheet::~RoundSheet() = default;

const QString &RoundSheet::cell(int index, Column column) const {
    return cellOf(rows_[size_t(index)], column);
}

// The count as its caption shows it: only the last three characters are read back, so after
// 999 the count starts again at 1.
QString RoundSheet::turnCaption(int index) const {
    const int turns = rows_[size_t(index)].turns;
    return turns == 0 ? QStringLiteral("Beurt")
                      : QStringLiteral("Beurt  ") + QString::number(turns);
}

storage::Round RoundSheet::round() const {
    storage::Round shown;
    shown.controllerCall = text(Field::ControllerCall);
    shown.date = text(Field::Date);
    shown.controllerName = text(Field::ControllerName);
    shown.beginTime = beginTime_;
    for (int i = 0; i < kRows; ++i) {
        const Row &row = rows_[size_t(i)];
        storage::Participant &p = shown.participants[size_t(i)];
        p.call = row.call;
        p.name = row.name;
        p.qth = row.qth;
        p.topic = row.topic;
        p.distance = row.distance;
        p.listening = row.listening;
        p.placedAt = row.placedAt;
    }
    return shown;
}

void RoundSheet::markEdited(int field) {
    if (showing_ || field < 0) {
        return;
    }
    if (std::find(edited_.begin(), edited_.end(), field) == edited_.end()) {
        edited_.push_back(field);
    }
}

void RoundSheet::putText(Field field, const QString &text) {
    QString &held = texts_[size_t(field)];
    if (held == text) {
        return;
    }
    held = boxText(text);
    markEdited(fieldOf(field));
    Q_EMIT textChanged(field);
}

void RoundSheet::putCell(int index, Column column, const QString &text) {
    QString &held = cellOf(rows_[size_t(index)], column);
    if (held == text) {
        return;
    }
    held = boxText(text);
    markEdited(fieldOf(column, index));
    Q_EMIT cellChanged(index, column);
}

void RoundSheet::setText(Field field, const QString &text) {
    putText(field, text);
}

void RoundSheet::setCell(int index, Column column, const QString &text) {
    if (index < 0 || index >= kRows) {
        return;
    }
    if (column == Column::Call) {
        setCall(index, text);
    } else {
        putCell(index, column, column == Column::Qth && !showing_ ? text.toUpper() : text);
    }
}

// A call typed or cleared by hand was not placed from the call entry box; its row's distance
// counts as edited, since the distances shown empty after a round is shown are no distances
// of the new call.
void RoundSheet::setCall(int index, const QString &text) {
    Row &row = rows_[size_t(index)];
    if (row.call == text) {
        return;
    }
    putCell(index, Column::Call, text);
    markEdited(fieldOf(Column::Distance, index));
    if (row.placedAt.isValid()) {
        row.placedAt = QDateTime();
        markEdited(storage::rondeTimeIndex(index));
    }
    if (text.isEmpty()) {
        for (Column column : {Column::Name, Column::Qth, Column::Topic, Column::Distance}) {
            putCell(index, column, QString());
        }
        return;
    }
    const QString call = text.trimmed().toUpper();
    if (call != text) {
        setCall(index, call);
        return;
    }
    lookUp(index, call);
}

// The look-up of a placed call: name, QTH, topic and distance follow the ham found. A row gets
// no distance without two valid locators, rather than the one of the station looked up before.
void RoundSheet::lookUp(int index, const QString &call) {
    const std::optional<storage::Ham> ham = lookUp_ ? lookUp_(call) : std::nullopt;
    if (!ham) {
        for (Column column : {Column::Name, Column::Qth, Column::Topic}) {
            putCell(index, column, QString());
        }
        return;
    }
    putCell(index, Column::Name, ham->name);
    putCell(index, Column::Qth, ham->qth.toUpper());
    const QString locator = ham->grid.trimmed();
    putCell(index, Column::Topic,
            call == QStringLiteral("QX9ZZA") ? QStringLiteral("Maker van deze app.")
                                             : ham->particulars);
    Q_EMIT hamLookedUp(locator, false);
    putCell(
        index, Column::Distance,
        bothValid(homeLocator_, locator) ? geo::distanceBetween(homeLocator_, locator) : QString());
}

void RoundSheet::applyEmptyCallRule(int index) {
    // While a stored round is put on the sheet it shows exactly what is stored.
    if (showing_ || index < 0 || index >= kRows || !rows_[size_t(index)].call.isEmpty()) {
        return;
    }
    for (Column column : {Column::Name, Column::Qth, Column::Topic, Column::Distance}) {
        putCell(index, column, QString());
    }
}

void RoundSheet::giveTurn(int index) {
    if (index < 0 || index >= kRows || rows_[size_t(index)].call.isEmpty()) {
        return;
    }
    Row &row = rows_[size_t(index)];
    row.turns = row.turns % 1000 + 1;
    const int previous = turnRow_;
    turnRow_ = index;
    Q_EMIT turnChanged(previous, index);
}

// A station marked away or listening no longer has the turn; nobody has it until the next turn
// is given, also when the mark is cleared again.
void RoundSheet::dropTurnOf(int index) {
    if (turnRow_ == index) {
        turnRow_ = -1;
        Q_EMIT turnChanged(index, -1);
    }
}

void RoundSheet::setAway(int index, bool away) {
    if (index < 0 || index >= kRows || rows_[size_t(index)].away == away) {
        return;
    }
    rows_[size_t(index)].away = away;
    if (away) {
        dropTurnOf(index);
    }
    Q_EMIT awayChanged(index);
}

void RoundSheet::setListening(int index, bool listening) {
    if (index < 0 || index >= kRows || rows_[size_t(index)].listening == listening) {
        return;
    }
    rows_[size_t(index)].listening = listening;
    markEdited(storage::rondeFieldIndex(RowField::Listening, index));
    // A stored round's marks put on the sheet take no turn: the turn belongs to the round being
    // led, and is there again when it is shown again.
    if (listening && !showing_) {
        dropTurnOf(index);
    }
    Q_EMIT listeningChanged(index);
}

void RoundSheet::wipe() {
    for (int i = 0; i < kRows; ++i) {
        setCall(i, QString());
        for (Column column : kColumns) {
            putCell(i, column, QString());
        }
    }
}

void RoundSheet::setMode(RoundMode mode) {
    if (mode_ != mode) {
        mode_ = mode;
        Q_EMIT modeChanged(mode);
    }
    noteAdding();
}

bool RoundSheet::showsLedRound() const {
    switch (led_) {
        case Led::Pending:
            return records_.state() == storage::CursorState::PendingNew;
        case Led::Stored:
            return records_.state() == storage::CursorState::OnRecord &&
                   records_.bookmark() == ledBookmark_;
        case Led::None:
        case Led::Ended:
            break;
    }
    return false;
}

bool RoundSheet::addingAllowed() const {
    if (!timing::addButtonEnabled(modeWord(mode_))) {
        return false;
    }
    return led_ == Led::None || showsLedRound();
}

void RoundSheet::followLed() {
    if (led_ == Led::Pending && records_.state() != storage::CursorState::PendingNew) {
        const storage::Bookmark added = records_.LastModified();
        if (added != storage::kNoBookmark && added != modifiedBeforeNew_) {
            led_ = Led::Stored;
            ledBookmark_ = added;
        } else {
            led_ = Led::Ended;
        }
    }
    noteAdding();
}

void RoundSheet::noteAdding() {
    const bool allowed = addingAllowed();
    if (allowed != adding_) {
        adding_ = allowed;
        Q_EMIT addingChanged(allowed);
    }
}

void RoundSheet::setPlannedTime(const QString &text) {
    if (!sameText(plannedTime_, text)) {
        plannedTime_ = text;
        Q_EMIT plannedTimeChanged();
    }
}

void RoundSheet::setHomeLocator(const QString &locator) {
    homeLocator_ = locator;
}

void RoundSheet::clearDistances() {
    for (int i = 0; i < kRows; ++i) {
        putCell(i, Column::Distance, QString());
    }
}

bool RoundSheet::addNew() {
    if (!records_.AddNew()) {
        return false;
    }
    led_ = Led::Pending;
    ledBookmark_ = storage::kNoBookmark;
    modifiedBeforeNew_ = records_.LastModified();
    putText(Field::RoundNumber, QString::number(records_.RecordCount() + 1));
    noteAdding();
    return true;
}

void RoundSheet::browseLatest() {
    putText(Field::RoundNumber, QString());
    records_.MovePrevious();
    records_.MoveNext();
    led_ = Led::None;
    setMode(RoundMode::Off);
}

void RoundSheet::begin(const QString &controllerCall, const QString &controllerName,
                       const QString &plannedTime, const QDateTime &localNow,
                       const QLocale &locale) {
    begin(
        controllerCall, controllerName, plannedTime,
        [localNow] {
            return Moment{localNow, {}};
        },
        locale);
}

void RoundSheet::begin(const QString &controllerCall, const QString &controllerName,
                       const QString &plannedTime, const Now &now, const QLocale &locale) {
    setPlannedTime(plannedTime);
    putText(Field::ControllerCall, controllerCall);
    putText(Field::ControllerName, controllerName);
    setCall(0, controllerCall);
    // The look-up may have asked a question (a locator that is not valid): the round begins
    // when it is answered.
    const Moment moment = now();
    const QDateTime &localNow = moment.local;
    putText(Field::Date, roundDateText(localNow.date(), locale));
    // The distance its own look-up found for the controller's station; an unknown call or an
    // invalid locator leaves none, not the distance of an earlier computation.
    const QString controllerDistance = rows_[0].distance;
    clearDistances();
    putCell(0, Column::Distance, controllerDistance);
    putCell(0, Column::Topic, QStringLiteral("Kringbaas"));
    const int minutes = timing::roundedMinutes(plannedTime);
    const QDateTime end = localNow.addSecs(qint64(minutes) * 60);
    putText(Field::Progress, QStringLiteral("Ronde is gestart om ") +
                                 localNow.toString(QStringLiteral("HH:mm")) +
                                 QStringLiteral(" uur.   Verwachtte eindtijd ") +
                                 end.toString(QStringLiteral("HH:mm")) + QStringLiteral(" uur."));
    if (moment.utc.isValid()) {
        setBeginTime(moment.utc);
    }
}

void RoundSheet::setBeginTime(const QDateTime &utc) {
    beginTime_ = storage::storedTime(storage::storedTimeText(utc));  // to the second
    markEdited(storage::rondeBeginIndex());
    Q_EMIT beginTimeChanged();
}

RoundSheet::Placing RoundSheet::placeCall(const QString &typed, const UtcClock &utcNow) {
    if (!addingAllowed()) {
        return Placing::NotAllowed;
    }
    // Calls on the sheet are upper case; a call pasted in lower case is the same call.
    const QString call = typed.trimmed().toUpper();
    if (!call.isEmpty()) {
        for (const Row &row : rows_) {
            if (row.call == call) {
                return Placing::Duplicate;
            }
        }
    }
    for (int i = 0; i < kRows; ++i) {
        if (rows_[size_t(i)].call.isEmpty()) {
            setCall(i, call);
            if (!call.isEmpty()) {
                rows_[size_t(i)].placedAt = storage::storedTime(storage::storedTimeText(utcNow()));
                markEdited(storage::rondeTimeIndex(i));
            }
            return Placing::Placed;
        }
    }
    return Placing::Full;
}

bool RoundSheet::open(const QString &databasePath) {
    return records_.open(databasePath, QStringLiteral("ronde"));
}

bool RoundSheet::open(std::unique_ptr<storage::Database> database) {
    return records_.open(std::move(database), QStringLiteral("ronde"));
}

bool RoundSheet::close() {
    return records_.close();
}

void RoundSheet::numberFromPosition() {
    putText(Field::RoundNumber, QString::number(records_.AbsolutePosition() + 1));
}

bool RoundSheet::store() {
    const bool done = records_.Store();
    followLed();
    if (!done) {
        return false;
    }
    numberFromPosition();
    Q_EMIT stored();
    return true;
}

bool RoundSheet::hasPending() const {
    return records_.state() == storage::CursorState::PendingNew || isEdited();
}

bool RoundSheet::storePending() {
    const bool done = !hasPending() || records_.Update();
    followLed();
    return done;
}

void RoundSheet::showLatest() {
    records_.MoveFirst();
    records_.MoveLast();
    putText(Field::RoundNumber, QString::number(records_.RecordCount()));
}

RoundSheet::Removal RoundSheet::removeShown() {
    if (records_.RecordCount() <= 1) {
        return Removal::LastOne;
    }
    // The round being led stays: calls keep going into it. That holds for one that began but is
    // not stored yet (its store failed) as well: the sheet holds its only copy.
    if (showsLedRound() && (led_ == Led::Stored || beginTime_.isValid())) {
        return Removal::BeingLed;
    }
    // A new round that is not stored yet is dropped rather than stored by the move that follows.
    if (records_.state() == storage::CursorState::PendingNew) {
        records_.CancelUpdate();
    } else {
        records_.Delete();
    }
    records_.MoveLast();
    return Removal::Removed;
}

QString RoundSheet::positionCaption() const {
    return QStringLiteral("Ronde : %1 van de %2")
        .arg(records_.AbsolutePosition() + 1)
        .arg(records_.RecordCount());
}

// A stored round goes onto the sheet as it is stored. Each call that differs from the one the
// row showed is looked up, for the calculator only: the rows keep their stored values.
void RoundSheet::showRecord(const storage::RecordValues &values) {
    const QScopedValueRollback<bool> showing(showing_, true);
    const storage::Round stored = storage::Round::fromRecord(values);
    putText(Field::ControllerCall, stored.controllerCall);
    putText(Field::Date, stored.date);
    putText(Field::ControllerName, stored.controllerName);
    for (int i = 0; i < kRows; ++i) {
        const storage::Participant &p = stored.participants[size_t(i)];
        const bool callChanged = rows_[size_t(i)].call != p.call;
        putCell(i, Column::Call, p.call);
        if (callChanged && !p.call.isEmpty()) {
            const std::optional<storage::Ham> ham =
                lookUp_ ? lookUp_(p.call.trimmed().toUpper()) : std::nullopt;
            if (ham) {
                const QString locator = ham->grid.trimmed();
                Q_EMIT hamLookedUp(locator, true);
                if (bothValid(homeLocator_, locator)) {
                    lastValidLocator_ = locator;
                }
            }
        }
        putCell(i, Column::Name, p.name);
        putCell(i, Column::Qth, p.qth);
        putCell(i, Column::Topic, p.topic);
        putCell(i, Column::Distance, p.distance);
        setListening(i, p.listening);
        rows_[size_t(i)].placedAt = p.placedAt;
    }
    beginTime_ = stored.beginTime;
}

// Emptying the distances while a round is shown is no edit of that round.
void RoundSheet::repositioned() {
    {
        const QScopedValueRollback<bool> showing(showing_, true);
        clearDistances();
        numberFromPosition();
    }
    followLed();
    const QString locator = std::exchange(lastValidLocator_, QString());
    Q_EMIT roundShown(locator);
}

void RoundSheet::validate(storage::DataAction, bool) {
    Q_EMIT leaving();
}

std::vector<int> RoundSheet::shownFields() const {
    std::vector<int> fields = {0, 1, 2, storage::rondeBeginIndex()};
    for (int i = 0; i < kRows; ++i) {
        for (Column column : kColumns) {
            fields.push_back(fieldOf(column, i));
        }
        fields.push_back(storage::rondeFieldIndex(RowField::Listening, i));
        fields.push_back(storage::rondeTimeIndex(i));
    }
    return fields;
}

std::vector<int> RoundSheet::changedFields() const {
    return edited_;
}

// The texts as the text boxes gave them back: never null, so an emptied text is stored as '' and
// not as NULL. The times after them stay NULL when there is none.
storage::RecordValues RoundSheet::shownValues() const {
    storage::RecordValues values = round().toRecord();
    for (int field = 0; field < storage::rondeBeginIndex(); ++field) {
        QVariant &value = values[size_t(field)];
        if (value.typeId() == QMetaType::QString) {
            value = boxText(value.toString());
        }
    }
    return values;
}

}  // namespace roundmodel
