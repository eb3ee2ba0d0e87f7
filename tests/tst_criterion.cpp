#include "CoreTestMain.h"

#include "storage/CaseFold.h"
#include "storage/Criterion.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <string>
#include <string_view>

using storage::Criterion;

namespace {

std::string_view bytes(const QByteArray &a) {
    return std::string_view(a.constData(), static_cast<size_t>(a.size()));
}

int sign(int v) {
    return (v > 0) - (v < 0);
}

}  // namespace

class TestCriterion : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void parse_data();
    void parse();
    void equality_data();
    void equality();
    void like_data();
    void like();
    void foldUtf8_data();
    void foldUtf8();
    void compareFolded_data();
    void compareFolded();
    void starBacktrackingStaysLinear();
};

void TestCriterion::parse_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("value");

    const int eq = int(Criterion::Kind::Equal);
    const int like = int(Criterion::Kind::Like);

    QTest::newRow("equal") << "call ='PA3ABC'" << true << "call" << eq << "PA3ABC";
    QTest::newRow("equal no blanks") << "call='x'" << true << "call" << eq << "x";
    QTest::newRow("equal blanks both sides") << "call = 'x'" << true << "call" << eq << "x";
    QTest::newRow("leading and trailing blanks") << "  call ='x'  " << true << "call" << eq << "x";
    QTest::newRow("value keeps its blanks") << "naam =' Jan '" << true << "naam" << eq << " Jan ";
    QTest::newRow("empty value") << "call =''" << true << "call" << eq << "";
    QTest::newRow("field as written")
        << "Woon_Plaats2 ='Ede'" << true << "Woon_Plaats2" << eq << "Ede";
    QTest::newRow("accented value") << "naam ='Hélène'" << true << "naam" << eq << "Hélène";
    QTest::newRow("ends with") << "call LIKE'*ABC'" << true << "call" << like << "*ABC";
    QTest::newRow("contains, lower keyword")
        << "naam like '*an*'" << true << "naam" << like << "*an*";
    QTest::newRow("mixed case keyword") << "naam Like'*x'" << true << "naam" << like << "*x";
    QTest::newRow("list pattern") << "call LIKE'PA[0-9]*'" << true << "call" << like << "PA[0-9]*";
    QTest::newRow("hyphen-only list") << "call LIKE'[-]'" << true << "call" << like << "[-]";

    QTest::newRow("doubled quote") << "naam ='O''Brien'" << true << "naam" << eq << "O'Brien";
    QTest::newRow("doubled quote at the start")
        << "qth LIKE'*''s-Hertogenbosch*'" << true << "qth" << like << "*'s-Hertogenbosch*";
    QTest::newRow("only a doubled quote") << "naam =''''" << true << "naam" << eq << "'";
    QTest::newRow("quote in value") << "naam ='O'Brien'" << false << "" << 0 << "";
    QTest::newRow("quote in pattern") << "naam LIKE'*O'Brien*'" << false << "" << 0 << "";
    QTest::newRow("missing closing quote") << "call ='PA3" << false << "" << 0 << "";
    QTest::newRow("missing opening quote") << "call =PA3'" << false << "" << 0 << "";
    QTest::newRow("no value") << "call =" << false << "" << 0 << "";
    QTest::newRow("text after quote") << "call ='x' OR 1" << false << "" << 0 << "";
    QTest::newRow("empty field") << " ='x'" << false << "" << 0 << "";
    QTest::newRow("empty text") << "" << false << "" << 0 << "";
    QTest::newRow("unknown operator") << "call <>'x'" << false << "" << 0 << "";
    QTest::newRow("keyword glued to field") << "callLIKE'*x'" << false << "" << 0 << "";
    QTest::newRow("keyword glued to word") << "call LIKEx'*x'" << false << "" << 0 << "";
    QTest::newRow("field not an identifier") << "ca-ll ='x'" << false << "" << 0 << "";
    QTest::newRow("unmatched [") << "call LIKE'*[AB*'" << false << "" << 0 << "";
    QTest::newRow("empty list") << "call LIKE'[]'" << false << "" << 0 << "";
    QTest::newRow("empty negated list") << "call LIKE'[!]'" << false << "" << 0 << "";
    QTest::newRow("reversed range") << "call LIKE'[z-a]'" << false << "" << 0 << "";
    // In an equality the value is no pattern, so a lone '[' is just a character.
    QTest::newRow("[ in equality") << "call ='[AB'" << true << "call" << eq << "[AB";
}

void TestCriterion::parse() {
    QFETCH(QString, text);
    QFETCH(bool, valid);

    const auto c = Criterion::parse(text);
    QCOMPARE(c.has_value(), valid);
    if (!valid) {
        return;
    }
    QFETCH(QString, field);
    QFETCH(int, kind);
    QFETCH(QString, value);
    QCOMPARE(c->field(), field);
    QCOMPARE(int(c->kind()), kind);
    QCOMPARE(c->value(), value);
}

void TestCriterion::equality_data() {
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("fieldText");
    QTest::addColumn<bool>("expected");

    QTest::newRow("same") << "PA3ABC"
                          << "PA3ABC" << true;
    QTest::newRow("lower finds upper") << "pa3abc"
                                       << "PA3ABC" << true;
    QTest::newRow("mixed case") << "Pa3aBc"
                                << "pA3AbC" << true;
    QTest::newRow("é/É") << "hélène"
                         << "HÉLÈNE" << true;
    QTest::newRow("ë/Ë") << "ËLLA"
                         << "ëlla" << true;
    QTest::newRow("ü/Ü") << "MÜLLER"
                         << "müller" << true;
    QTest::newRow("ij and ç") << "ÇIJFER"
                              << "çijfer" << true;
    QTest::newRow("ẞ/ß") << "STRAẞE"
                         << "straße" << true;
    QTest::newRow("accent is not case") << "hélène"
                                        << "helene" << false;
    QTest::newRow("prefix only") << "PA3AB"
                                 << "PA3ABC" << false;
    QTest::newRow("longer value") << "PA3ABCD"
                                  << "PA3ABC" << false;
    QTest::newRow("no trimming") << "PA3ABC"
                                 << "PA3ABC " << false;
    QTest::newRow("star is literal") << "PA*"
                                     << "PA3ABC" << false;
    QTest::newRow("star literal matches star") << "PA*"
                                               << "pa*" << true;
    QTest::newRow("question mark literal") << "PA?"
                                           << "PA3" << false;
    QTest::newRow("empty field, empty value") << ""
                                              << "" << false;
    QTest::newRow("empty field") << "PA3ABC"
                                 << "" << false;
    QTest::newRow("empty value") << ""
                                 << "PA3ABC" << false;
}

void TestCriterion::equality() {
    QFETCH(QString, value);
    QFETCH(QString, fieldText);
    QFETCH(bool, expected);

    const auto c = Criterion::parse(QStringLiteral("call ='%1'").arg(value));
    QVERIFY(c);
    QCOMPARE(c->matches(fieldText), expected);
    const QByteArray utf8 = fieldText.toUtf8();
    QCOMPARE(c->matchesUtf8(bytes(utf8)), expected);
    if (!fieldText.isEmpty()) {
        // The index collation must see the same texts as equal.
        QCOMPARE(storage::compareFoldedUtf8(bytes(value.toUtf8()), bytes(utf8)) == 0, expected);
    }
}

void TestCriterion::like_data() {
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("expected");

    // The forms the windows build.
    QTest::newRow("ends with: match") << "*ABC"
                                      << "PA3ABC" << true;
    QTest::newRow("ends with: lower case") << "*abc"
                                           << "PA3ABC" << true;
    QTest::newRow("ends with: not at end") << "*ABC"
                                           << "PA3ABCD" << false;
    QTest::newRow("ends with: whole text") << "*ABC"
                                           << "ABC" << true;
    QTest::newRow("contains: inside") << "*AN*"
                                      << "JAN" << true;
    QTest::newRow("contains: at start") << "*AN*"
                                        << "ANTON" << true;
    QTest::newRow("contains: lower") << "*an*"
                                     << "JOHANNA" << true;
    QTest::newRow("contains: absent") << "*AN*"
                                      << "PIET" << false;
    QTest::newRow("contains: split") << "*AN*"
                                     << "A N" << false;

    // '*'
    QTest::newRow("* alone") << "*"
                             << "x" << true;
    QTest::newRow("* matches none") << "PA*3"
                                    << "PA3" << true;
    QTest::newRow("stars in a row") << "P**3"
                                    << "PA3" << true;
    QTest::newRow("backtrack to last star") << "*AB*ABC"
                                            << "xABxABABC" << true;
    QTest::newRow("no pattern chars: whole text") << "ABC"
                                                  << "ABCD" << false;
    QTest::newRow("no pattern chars: equal") << "ABC"
                                             << "abc" << true;

    // '?' and '#'
    QTest::newRow("? one char") << "PA?ABC"
                                << "PA3ABC" << true;
    QTest::newRow("? not none") << "PA?ABC"
                                << "PAABC" << false;
    QTest::newRow("? not two") << "PA?ABC"
                               << "PA33ABC" << false;
    QTest::newRow("? accented") << "H?LENE"
                                << "hélène" << false;
    QTest::newRow("? accented both") << "H?L?NE"
                                     << "hélène" << true;
    QTest::newRow("# digit") << "PA#*"
                             << "PA3ABC" << true;
    QTest::newRow("# not a letter") << "PA#*"
                                    << "PAXABC" << false;
    QTest::newRow("# not other digits") << "#"
                                        << "٣" << false;
    QTest::newRow("### prefix") << "###*"
                                << "123x" << true;

    // Lists
    QTest::newRow("list hit") << "PA[0-3]ABC"
                              << "PA3ABC" << true;
    QTest::newRow("list miss") << "PA[0-2]ABC"
                               << "PA3ABC" << false;
    QTest::newRow("list of singles") << "[PO]A*"
                                     << "OA1X" << true;
    QTest::newRow("list several ranges") << "[A-C0-9]"
                                         << "7" << true;
    QTest::newRow("list several ranges miss") << "[A-C0-9]"
                                              << "d" << false;
    QTest::newRow("negated list hit") << "PA[!0-2]ABC"
                                      << "PA3ABC" << true;
    QTest::newRow("negated list miss") << "PA[!0-3]ABC"
                                       << "PA3ABC" << false;
    QTest::newRow("list takes one char") << "[AB]"
                                         << "AB" << false;
    QTest::newRow("range upper, text lower") << "[A-Z]"
                                             << "q" << true;
    QTest::newRow("range lower, text upper") << "[a-z]"
                                             << "Q" << true;
    QTest::newRow("single letter, other case") << "[!q]"
                                               << "Q" << false;
    QTest::newRow("range excludes accented") << "[a-z]"
                                             << "é" << false;
    QTest::newRow("accented in list") << "[É]"
                                      << "é" << true;
    QTest::newRow("* in list literal") << "[*]"
                                       << "*" << true;
    QTest::newRow("* in list not wild") << "[*]"
                                        << "x" << false;
    QTest::newRow("? in list literal") << "A[?]"
                                       << "AB" << false;
    QTest::newRow("# in list literal") << "[#]"
                                       << "#" << true;
    QTest::newRow("# in list not digit") << "[#]"
                                         << "5" << false;
    QTest::newRow("[ in list literal") << "[[]*"
                                       << "[x" << true;
    QTest::newRow("hyphen first") << "[-a]"
                                  << "-" << true;
    QTest::newRow("hyphen last") << "[a-]"
                                 << "-" << true;
    QTest::newRow("hyphen last, not a range") << "[a-]"
                                              << "b" << false;
    QTest::newRow("hyphen first, then hyphen") << "[--a]"
                                               << "0" << false;
    QTest::newRow("hyphen after !") << "[!-a]"
                                    << "-" << false;
    QTest::newRow("hyphen after !, other char") << "[!-a]"
                                                << "b" << true;
    QTest::newRow("] outside a list") << "A]"
                                      << "a]" << true;
    QTest::newRow("] outside a list, not wild") << "A]"
                                                << "AB" << false;

    // Case-insensitive letters a Dutch user types.
    QTest::newRow("é/É") << "*É*"
                         << "andré" << true;
    QTest::newRow("ë/Ë") << "*ë"
                         << "NOËL" << false;
    QTest::newRow("ë/Ë end") << "*ë*"
                             << "NOËL" << true;
    QTest::newRow("ü/Ü") << "M?LLER"
                         << "Müller" << true;
    QTest::newRow("ü/Ü list") << "M[Ü]LLER"
                              << "müller" << true;

    // A field without a value fulfils nothing, not even '*'.
    QTest::newRow("empty text, *") << "*"
                                   << "" << false;
    QTest::newRow("empty text, empty pattern") << ""
                                               << "" << false;
}

void TestCriterion::like() {
    QFETCH(QString, pattern);
    QFETCH(QString, text);
    QFETCH(bool, expected);

    const auto c = Criterion::parse(QStringLiteral("call LIKE'%1'").arg(pattern));
    QVERIFY(c);
    QCOMPARE(c->kind(), Criterion::Kind::Like);
    QCOMPARE(c->matches(text), expected);
    const QByteArray utf8 = text.toUtf8();
    QCOMPARE(c->matchesUtf8(bytes(utf8)), expected);
}

void TestCriterion::foldUtf8_data() {
    QTest::addColumn<QByteArray>("utf8");
    QTest::addColumn<QString>("expected");  // folded text; U+FFFD for each bad sequence

    const QString bad(QChar(0xFFFD));
    QTest::newRow("ascii") << QByteArray("PA3abc") << "pa3abc";
    QTest::newRow("two-byte") << QByteArray("H\xc3\x89L\xc3\x88NE") << "hélène";
    QTest::newRow("three-byte") << QByteArray(
                                       "STRA\xe1\xba\x9e"
                                       "E")
                                << "straße";
    QTest::newRow("four-byte") << QByteArray("\xf0\x90\x90\x80")
                               << QString::fromUcs4(U"\U00010428", 1);
    QTest::newRow("stray continuation") << QByteArray("a\x80z") << "a" + bad + "z";
    QTest::newRow("invalid lead") << QByteArray("\xff\xfe") << bad + bad;
    QTest::newRow("truncated at end") << QByteArray("ab\xe2\x82") << "ab" + bad;
    QTest::newRow("truncated then ascii") << QByteArray("\xe2\x82Z") << bad + "z";
    QTest::newRow("overlong") << QByteArray("\xc0\xaf") << bad + bad;
    QTest::newRow("overlong three-byte") << QByteArray("\xe0\x80\xaf") << bad + bad + bad;
    QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80") << bad + bad + bad;
    QTest::newRow("above U+10FFFF") << QByteArray("\xf4\x90\x80\x80") << bad + bad + bad + bad;
}

void TestCriterion::foldUtf8() {
    QFETCH(QByteArray, utf8);
    QFETCH(QString, expected);

    std::u32string out = U"left over";
    storage::foldUtf8(bytes(utf8), out);
    std::u32string want;
    storage::foldText(expected, want);
    QCOMPARE(QString::fromUcs4(out.data(), qsizetype(out.size())),
             QString::fromUcs4(want.data(), qsizetype(want.size())));
}

void TestCriterion::compareFolded_data() {
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");
    QTest::addColumn<int>("expected");  // sign of compareFoldedUtf8(a, b)

    QTest::newRow("equal") << QByteArray("PA3ABC") << QByteArray("PA3ABC") << 0;
    QTest::newRow("case only") << QByteArray("pa3abc") << QByteArray("PA3ABC") << 0;
    QTest::newRow("accented case only")
        << QByteArray("h\xc3\xa9l\xc3\xa8ne") << QByteArray("H\xc3\x89L\xc3\x88NE") << 0;
    QTest::newRow("both empty") << QByteArray() << QByteArray() << 0;
    QTest::newRow("empty first") << QByteArray() << QByteArray("a") << -1;
    QTest::newRow("prefix first") << QByteArray("PA3") << QByteArray("pa3abc") << -1;
    QTest::newRow("by folded letters") << QByteArray("Z") << QByteArray("a") << 1;
    QTest::newRow("digit before letter") << QByteArray("PA3") << QByteArray("PAB") << -1;
    QTest::newRow("ascii before accented") << QByteArray("z") << QByteArray("\xc3\xa9") << -1;
    QTest::newRow("bad byte is U+FFFD") << QByteArray("\xff") << QByteArray("\xef\xbf\xbd") << 0;
    QTest::newRow("bad byte after ascii") << QByteArray("a\xff") << QByteArray("az") << 1;
    QTest::newRow("trailing blank") << QByteArray("ab ") << QByteArray("AB") << 1;
}

void TestCriterion::compareFolded() {
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QFETCH(int, expected);

    QCOMPARE(sign(storage::compareFoldedUtf8(bytes(a), bytes(b))), expected);
    QCOMPARE(sign(storage::compareFoldedUtf8(bytes(b), bytes(a))), -expected);
    QCOMPARE(storage::compareFoldedUtf8(bytes(a), bytes(a)), 0);
}

void TestCriterion::starBacktrackingStaysLinear() {
    const QString text(100000, u'a');
    const QByteArray utf8 = text.toUtf8();

    const auto miss = Criterion::parse(u"call LIKE'*a*a*a*a*a*a*a*a*a*a*b'");
    QVERIFY(miss);
    QVERIFY(!miss->matches(text));
    QVERIFY(!miss->matchesUtf8(bytes(utf8)));

    const auto hit = Criterion::parse(u"call LIKE'*a*a*a*a*a*a*a*a*a*a*?'");
    QVERIFY(hit);
    QVERIFY(hit->matches(text));
    QVERIFY(hit->matchesUtf8(bytes(utf8)));
}

KB_CORE_TEST_MAIN(TestCriterion)
#include "tst_criterion.moc"
