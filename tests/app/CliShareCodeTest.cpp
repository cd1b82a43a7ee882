// zindle-cli code, and - for the standard input in every command.
#include "CliFixture.h"
#include "storage/JsonFile.h"
#include "storage/ZdlFile.h"

#include <gtest/gtest.h>

class CliShareCode : public Cli {
protected:
    void SetUp() override {
        copy("laser.zdl");
        copy("new.zdl");
        copy("boom.efc");
        ASSERT_TRUE(soundjson::write(path("text.json"), zdl::read(path("new.zdl")).settings).ok);
        // What each sound is as a .zdl, the form a code holds.
        for (const char* name : {"laser", "new", "boom", "text"}) {
            const QStringList found = QDir(dir.path()).entryList({q(name) + q(".*")});
            ASSERT_EQ(found.size(), 1) << name;
            ASSERT_EQ(run({q("convert"), found.first(), q("-o"), q(name) + q("_ref.zdl")}).status, 0) << name;
        }
    }

    QStringList codesOf(const QStringList& inputs) {
        const Outcome r = run(QStringList{q("code")} + inputs);
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        return r.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
};

// One line a sound, in order; each reads back (through the standard input)
// as the same .zdl bytes.
TEST_F(CliShareCode, CodePrintsOneLineASoundThatReadsBackTheSame) {
    const QStringList inputs = {q("laser.zdl"), q("new.zdl"), q("boom.efc"), q("text.json")};
    const QStringList codes = codesOf(inputs);
    ASSERT_EQ(codes.size(), inputs.size());
    const char* refs[] = {"laser_ref.zdl", "new_ref.zdl", "boom_ref.zdl", "text_ref.zdl"};
    for (int i = 0; i < inputs.size(); ++i) {
        EXPECT_TRUE(codes[i].startsWith(q("zindle1:"))) << codes[i].toStdString();
        const Outcome back = runWithInput(codes[i].toUtf8() + "\n", {q("convert"), q("-"), q("-o"), q("back.zdl")});
        ASSERT_EQ(back.status, 0) << back.err.toStdString();
        EXPECT_EQ(contents(path("back.zdl")), contents(path(refs[i]))) << inputs[i].toStdString();
    }
    // A bad input is named, and the others still get their codes.
    const Outcome mixed = run({q("code"), q("laser.zdl"), q("missing.zdl"), q("new.zdl")});
    EXPECT_EQ(mixed.status, 1);
    EXPECT_EQ(mixed.out, codes[0] + q("\n") + codes[1] + q("\n"));
    EXPECT_TRUE(mixed.err.contains(q("missing.zdl: The file does not exist."))) << mixed.err.toStdString();
}

// The standard input holds a .zdl, JSON text, an old-style record, a share
// code or a web player link: every command reads it as the file it came from.
TEST_F(CliShareCode, EveryCommandReadsEachKindFromTheStandardInput) {
    const QString code = codesOf({q("laser.zdl")}).value(0);
    const QByteArray kinds[] = {contents(path("laser.zdl")), contents(path("laser_ref.zdl")), code.toUtf8(),
                                "  " + code.toUtf8() + "\r\n", "file:///srv/web/index.html#" + code.toUtf8()};
    ASSERT_EQ(run({q("render"), q("laser.zdl"), q("-o"), q("laser.wav")}).status, 0);
    const Outcome info = run({q("info"), q("laser.zdl"), q("--json")});
    ASSERT_EQ(info.status, 0);
    for (const QByteArray& input : kinds) {
        const std::string shown = input.left(40).toStdString();
        Outcome r = runWithInput(input, {q("render"), q("-"), q("-o"), q("stdin.wav")});
        ASSERT_EQ(r.status, 0) << shown << r.err.toStdString();
        EXPECT_EQ(contents(path("stdin.wav")), contents(path("laser.wav"))) << shown;
        r = runWithInput(input, {q("info"), q("-"), q("--json")});
        EXPECT_EQ(r.status, 0) << shown;
        EXPECT_EQ(r.out, QString(info.out).replace(q("\"laser.zdl\""), q("\"-\""))) << shown;
        r = runWithInput(input, {q("code"), q("-")});
        EXPECT_EQ(r.out.trimmed(), code) << shown;
        r = runWithInput(input, {q("mutate"), q("-"), q("--seed"), q("5"), q("-o"), q("m1.zdl")});
        EXPECT_EQ(r.status, 0) << shown << r.err.toStdString();
        ASSERT_EQ(run({q("mutate"), q("laser.zdl"), q("--seed"), q("5"), q("-o"), q("m2.zdl")}).status, 0);
        EXPECT_EQ(contents(path("m1.zdl")), contents(path("m2.zdl"))) << shown;
    }
    // JSON text and an old-style record come in the same way.
    for (const char* name : {"text.json", "boom.efc"}) {
        const Outcome r = runWithInput(contents(path(name)), {q("code"), q("-")});
        EXPECT_EQ(r.out.trimmed(), codesOf({q(name)}).value(0)) << name;
    }
}

TEST_F(CliShareCode, BadStandardInputIsRefusedWithItsReason) {
    struct Case {
        QByteArray input;
        QStringList arguments;
        int status;
        const char* reason;
    };
    const Case cases[] = {
        {"zindle1:AB+C\n", {q("info"), q("-")}, 1, "-: The share code is wrong: '+' at character 3"},
        {"zindle1:aGVsbG8", {q("code"), q("-")}, 1, "-: The share code holds no Zindle sound"},
        {"hello\n", {q("info"), q("-")}, 1, "-: This is not a sound file Zindle reads (it looks like a text file)."},
        {"", {q("info"), q("-")}, 1, "-: The file is empty."},
        {"", {q("info"), q("-"), q("-")}, 2, "The standard input (-) can be read only once."},
        {"", {q("render"), q("-")}, 2, "render - (the standard input) needs -o OUT"},
        {"", {q("convert"), q("-"), q("--to"), q("json")}, 2, "needs -o OUT"},
    };
    for (const Case& c : cases) {
        const Outcome r = runWithInput(c.input, c.arguments);
        EXPECT_EQ(r.status, c.status) << c.reason;
        EXPECT_TRUE(r.err.contains(q(c.reason))) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << c.reason;
    }
}
