// The parameter model and its text form.

#include <Navik/LuaSerializer.h>
#include <Navik/Value.h>

#include <QtTest>

#include <cmath>
#include <cstring>
#include <limits>

using Navik::Dictionary;
using Navik::LuaSerializer;
using Navik::Value;
using Navik::ValueArray;

Q_DECLARE_METATYPE(Navik::Value)

namespace {

Dictionary sampleDictionary()
{
    Dictionary nested;
    nested.SetValueForKey("Red", ValueArray{Value(1), Value(2)});
    nested.SetValueForKey("Label", Value("a \"quoted\"\n\\ line\x01\x7f\xe9"));
    Dictionary dictionary;
    dictionary.SetValueForKey("KeystoningActive", Value(true));
    dictionary.SetValueForKey("KeystoningMode", Value("Parallel"));
    dictionary.SetValueForKey("OutputRotation", Value(-3));
    dictionary.SetValueForKey("Orientation", Value(6u));
    dictionary.SetValueForKey("CropRect", ValueArray{Value(0.1), Value(1e-310), Value(-0.0), Value(1.0 / 3.0)});
    dictionary.SetValueForKey("Empty", ValueArray());
    dictionary.SetValueForKey("EmptyDictionary", Dictionary());
    dictionary.SetValueForKey("HistogramData", nested);
    dictionary.SetValueForKey("key with spaces", Value(std::numeric_limits<int>::min()));
    dictionary.SetValueForKey("end", Value(std::numeric_limits<unsigned int>::max())); // a Lua keyword
    dictionary.SetValueForKey("Infinite", Value(-std::numeric_limits<double>::infinity()));
    return dictionary;
}

bool sameDouble(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

} // namespace

class TestNavikValues : public QObject
{
    Q_OBJECT

private slots:
    void crossTypeReads_data()
    {
        QTest::addColumn<Value>("value");
        QTest::addColumn<bool>("asBool");
        QTest::addColumn<int>("asInt");
        QTest::addColumn<uint>("asUnsigned");
        QTest::addColumn<double>("asDouble");
        QTest::addColumn<bool>("numeric");

        QTest::newRow("invalid") << Value() << false << 0 << 0u << 0.0 << false;
        QTest::newRow("true") << Value(true) << true << 1 << 1u << 1.0 << true;
        QTest::newRow("int") << Value(-7) << true << -7 << 0u << -7.0 << true;
        QTest::newRow("unsigned") << Value(6u) << true << 6 << 6u << 6.0 << true;
        QTest::newRow("huge unsigned") << Value(4000000000u) << true << std::numeric_limits<int>::max()
                                       << 4000000000u << 4e9 << true;
        QTest::newRow("double truncates") << Value(2.9) << true << 2 << 2u << 2.9 << true;
        QTest::newRow("negative double") << Value(-2.9) << true << -2 << 0u << -2.9 << true;
        QTest::newRow("double beyond int") << Value(1e20) << true << std::numeric_limits<int>::max()
                                           << std::numeric_limits<uint>::max() << 1e20 << true;
        QTest::newRow("string") << Value("12") << false << 0 << 0u << 0.0 << false;
        QTest::newRow("array") << Value(ValueArray{Value(1)}) << false << 0 << 0u << 0.0 << false;
    }

    void crossTypeReads()
    {
        QFETCH(Value, value);
        QFETCH(bool, asBool);
        QFETCH(int, asInt);
        QFETCH(uint, asUnsigned);
        QFETCH(double, asDouble);
        QFETCH(bool, numeric);
        bool ok = !numeric;
        QCOMPARE(value.AsBool(), asBool);
        QCOMPARE(value.AsInt(&ok), asInt);
        QCOMPARE(ok, numeric);
        QCOMPARE(value.AsUnsignedInt(), asUnsigned);
        QCOMPARE(value.AsDouble(), asDouble);
    }

    void absentAndMismatchedReadsAreEmpty()
    {
        const Dictionary dictionary;
        const Value absent = dictionary.GetValueForKey("Missing");
        bool ok = true;
        QVERIFY(!absent.IsValid());
        QCOMPARE(absent.AsCStr(&ok), "");
        QVERIFY(!ok);
        QCOMPARE(absent.AsValueArray().Count(), 0u);
        QCOMPARE(absent.AsDictionary().Count(), 0u);
        QCOMPARE(Value(3).AsCStr(), "");
        QCOMPARE(dictionary.GetValueForKey("OutputRotation", Value(-1)).AsInt(), -1);
        QVERIFY(!ValueArray{Value(1)}.GetValueAtIndex(1).IsValid());
        QCOMPARE(Value(std::nan("")).AsInt(), 0);
    }

    void equality()
    {
        QVERIFY(Value(1) == Value(1u));
        QVERIFY(Value(1) == Value(1.0));
        QVERIFY(Value(2.5) != Value(2));
        QVERIFY(Value(true) != Value(1));
        QVERIFY(Value("1") != Value(1));
        QVERIFY(Value() == Value());
        QVERIFY(Value(std::nan("")) != Value(std::nan(""))); // a NaN never counts as unchanged
        QVERIFY(Value(ValueArray{Value(1), Value(2.0)}) == Value(ValueArray{Value(1.0), Value(2u)}));
        QVERIFY(Value(ValueArray()) != Value(Dictionary()));
        QVERIFY(ValueArray{Value(1)} != (ValueArray{Value(1), Value(2)}));
    }

    void dictionarySemantics()
    {
        Dictionary dictionary;
        dictionary.SetValueForKey("A", Value(1));
        dictionary.SetValueForKey("A", Value("replaced"));
        dictionary.RemoveValueForKey("Absent");
        dictionary.SetValueForKey("B", Value()); // an invalid value is no entry
        QCOMPARE(dictionary.Count(), 1u);
        QCOMPARE(dictionary.GetValueForKey("A").AsCStr(), "replaced");

        Dictionary copy = dictionary;
        copy.SetValueForKey("A", Value(2));
        QCOMPARE(dictionary.GetValueForKey("A").AsCStr(), "replaced");
        QVERIFY(copy != dictionary);

        Dictionary other;
        other.SetValueForKey("A", Value(3));
        other.SetValueForKey("C", Value(true));
        dictionary.AddEntriesFromDictionary(other);
        QCOMPARE(dictionary.GetValueForKey("A").AsInt(), 3);
        QCOMPARE(dictionary.Count(), 2u);
        dictionary.RemoveAllValues();
        QCOMPARE(dictionary.Count(), 0u);
    }

    void applierVisitsInKeyOrderAndStops()
    {
        struct Collector : Dictionary::Applier
        {
            QStringList keys;
            bool applyEntry(const std::string& key, const Value&) override
            {
                keys << QString::fromStdString(key);
                return keys.size() < 2;
            }
        } collector;
        Dictionary dictionary;
        for (const char* key : {"b", "c", "a"})
            dictionary.SetValueForKey(key, Value(1));
        QVERIFY(!dictionary.Apply(collector));
        QCOMPARE(collector.keys, QStringList({"a", "b"}));
    }

    void stringReprIsOneLine()
    {
        Dictionary dictionary;
        dictionary.SetValueForKey("CropRect", ValueArray{Value(0.0), Value(0.5)});
        dictionary.SetValueForKey("On", Value(true));
        QCOMPARE(QString::fromStdString(dictionary.StringRepr()), QString("{ CropRect = { 0.0, 0.5 }, On = true }"));
    }

    void serializerRoundTripIsExact()
    {
        const Dictionary original = sampleDictionary();
        LuaSerializer serializer;
        std::string text;
        QVERIFY(serializer.Write("result", Value(original), text));
        const Value* read = serializer.Read("result", text);
        QVERIFY(read);
        const Dictionary& back = read->AsDictionary();
        QVERIFY(back == original);
        // Types survive, not only numeric equality.
        QCOMPARE(back.GetValueForKey("Orientation").GetType(), Value::kTypeUnsignedInt);
        QCOMPARE(back.GetValueForKey("OutputRotation").GetType(), Value::kTypeInt);
        QCOMPARE(back.GetValueForKey("Empty").GetType(), Value::kTypeValueArray);
        QCOMPARE(back.GetValueForKey("EmptyDictionary").GetType(), Value::kTypeDictionary);
        const ValueArray& crop = back.GetValueForKey("CropRect").AsValueArray();
        const ValueArray& expected = original.GetValueForKey("CropRect").AsValueArray();
        for (unsigned int i = 0; i < expected.Count(); ++i) {
            QCOMPARE(crop.GetValueAtIndex(i).GetType(), Value::kTypeDouble);
            QVERIFY(sameDouble(crop.GetValueAtIndex(i).AsDouble(), expected.GetValueAtIndex(i).AsDouble()));
        }
        // Writing what was read gives the same bytes.
        std::string again;
        QVERIFY(serializer.Write("result", *read, again));
        QCOMPARE(again, text);
    }

    void serializerIsDeterministic()
    {
        Dictionary first;
        Dictionary second;
        for (int i = 0; i < 20; ++i)
            first.SetValueForKey("k" + std::to_string(i), Value(i * 0.1));
        for (int i = 19; i >= 0; --i)
            second.SetValueForKey("k" + std::to_string(i), Value(i * 0.1));
        LuaSerializer serializer;
        std::string a;
        std::string b;
        serializer.Write("initial", Value(first), a);
        serializer.Write("initial", Value(second), b);
        QCOMPARE(a, b);
        QVERIFY(!serializer.Write("not a name", Value(1), a));
        QVERIFY(!serializer.Write("nil", Value(1), a));
    }

    void serializerReadsHandWrittenLua()
    {
        const std::string text =
            "-- a comment\n"
            "initial = { x = 1 }; result = {\n"
            "  [\"CropRect\"] = { 0, .5, 1e2, -2 }, --[[ long\n comment ]]\n"
            "  Mode = 'Rect\\x41\\65', Flag = false, Unset = nil;\n"
            "}\n"
            "result = { Final = (1/0), Nan = (0/0), Hex = 0xFF }\n";
        LuaSerializer serializer;
        const Value* initial = serializer.Read("initial", text);
        const Value* result = serializer.Read("result", text);
        QVERIFY(initial && result);
        QCOMPARE(initial->AsDictionary().GetValueForKey("x").AsInt(), 1);
        // The last assignment wins.
        QCOMPARE(result->AsDictionary().Count(), 3u);
        QVERIFY(std::isinf(result->AsDictionary().GetValueForKey("Final").AsDouble()));
        QVERIFY(std::isnan(result->AsDictionary().GetValueForKey("Nan").AsDouble()));
        QCOMPARE(result->AsDictionary().GetValueForKey("Hex").AsUnsignedInt(), 255u);
        QVERIFY(initial->AsDictionary().GetValueForKey("x") == Value(1)); // earlier values stay valid
        QVERIFY(!serializer.Read("missing", text));
    }

    void serializerRefusesMalformedText_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("empty value") << QByteArray("result =");
        QTest::newRow("unclosed table") << QByteArray("result = { a = 1");
        QTest::newRow("unclosed string") << QByteArray("result = \"abc");
        QTest::newRow("code") << QByteArray("result = os.execute(\"rm -rf /\")");
        QTest::newRow("function") << QByteArray("result = function() end");
        QTest::newRow("variable") << QByteArray("result = other");
        QTest::newRow("expression") << QByteArray("result = 1 + 2");
        QTest::newRow("mixed table") << QByteArray("result = { 1, a = 2 }");
        QTest::newRow("hole") << QByteArray("result = { 1, nil, 2 }");
        QTest::newRow("numeric key") << QByteArray("result = { [1] = 2 }");
        QTest::newRow("bad escape") << QByteArray("result = \"\\q\"");
        QTest::newRow("escape past a byte") << QByteArray("result = \"\\300\"");
        QTest::newRow("hex too large") << QByteArray("result = 0x100000000");
        QTest::newRow("negative hex") << QByteArray("result = -0x1");
        QTest::newRow("number glued to name") << QByteArray("result = 12abc");
        QTest::newRow("unterminated comment") << QByteArray("result = 1 --[[ open");
        QTest::newRow("division") << QByteArray("result = (1/2)");
        QTest::newRow("keyword as name") << QByteArray("end = 1");
        QTest::newRow("trailing garbage") << QByteArray("result = 1 }");
        QTest::newRow("nul byte") << QByteArray("result = 1\0", 11);
    }

    void serializerRefusesMalformedText()
    {
        QFETCH(QByteArray, text);
        LuaSerializer serializer;
        QVERIFY(!serializer.Read("result", text.toStdString()));
        QVERIFY(!serializer.Read("end", text.toStdString()));
    }

    void serializerBoundsDepthAndSize()
    {
        LuaSerializer serializer;
        const auto nested = [](int depth) {
            return "result = " + std::string(std::size_t(depth), '{') + "1" + std::string(std::size_t(depth), '}');
        };
        QVERIFY(serializer.Read("result", nested(LuaSerializer::kMaxDepth)));
        QVERIFY(!serializer.Read("result", nested(LuaSerializer::kMaxDepth + 1)));
        QVERIFY(!serializer.Read("result", nested(100000))); // no stack overflow
        std::string huge = "result = \"" + std::string(LuaSerializer::kMaxTextSize, 'a') + "\"";
        QVERIFY(!serializer.Read("result", huge));
    }
};

QTEST_GUILESS_MAIN(TestNavikValues)
#include "tst_navikvalues.moc"
