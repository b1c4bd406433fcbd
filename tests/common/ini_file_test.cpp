#include "common/ini_file.h"

#include "common/text_encoding.h"
#include "common/win1251.h"

#include "qt_print.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

QString S(const char *text) { return QString::fromUtf8(text); }

// A settings file as the old Windows program left it: Windows-1251, CR LF.
// (Texts in the comments; hex bytes are Windows-1251.)
const QByteArray kLegacyIni =
    "; Settings of the dispatcher program\r\n"
    "[Main]\r\n"
    "Name=\xc4\xe8\xf1\xef\xe5\xf2\xf7\xe5\xf0\xf1\xfc\xea\xe0\r\n"  // Диспетчерська
    "Port = 5000\r\n"
    "\r\n"
    "[\xc0\xe4\xf0\xe5\xf1\xe0]\r\n"                                  // [Адреса]
    "\xcc\xb3\xf1\xf2\xee=\xcb\xf3\xf6\xfc\xea, \xe2\xf3\xeb. "       // Місто=Луцьк, вул.
    "\"\xd1\xee\xe1\xee\xf0\xed\xe0\", 5\r\n"                         // "Соборна", 5
    "Quoted=\"\xca\xe8\xbf\xe2\"\r\n"                                 // Quoted="Київ"
    "Formula = a=b;c  \r\n"
    "Flag=5\r\n"
    "Word=word\r\n"
    "Zero=0\r\n"
    "Negative=-12\r\n"
    "Big=99999999999\r\n"
    "Empty=\r\n"
    "\r\n"
    "[Other]\r\n"
    "; comment line\r\n"
    "X=1\r\n";

class IniFileTest : public ::testing::Test {
protected:
    QString path(const char *name = "settings.ini") const { return dir.filePath(QString::fromLatin1(name)); }

    void writeBytes(const QString &file, const QByteArray &bytes)
    {
        QFile f(file);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(bytes), bytes.size());
    }

    QByteArray readBytes(const QString &file)
    {
        QFile f(file);
        if (!f.open(QIODevice::ReadOnly))
            return {};
        return f.readAll();
    }

    QTemporaryDir dir;
};

TEST_F(IniFileTest, ReadsWindows1251Values)
{
    writeBytes(path(), kLegacyIni);
    IniFile ini(path());
    EXPECT_TRUE(ini.exists());
    EXPECT_EQ(ini.readString("Main", "Name", "x"), S("Диспетчерська"));
    EXPECT_EQ(ini.readInteger("Main", "Port", 0), 5000);
    EXPECT_EQ(ini.readString(S("Адреса"), S("Місто")), S("Луцьк, вул. \"Соборна\", 5"));
}

TEST_F(IniFileTest, ValuesAreTakenAsTheyStand)
{
    writeBytes(path(), kLegacyIni);
    IniFile ini(path());
    // quotes, commas, '=' and ';' are part of the value; blanks around it are not
    EXPECT_EQ(ini.readString(S("Адреса"), "Quoted"), S("\"Київ\""));
    EXPECT_EQ(ini.readString(S("Адреса"), "Formula"), S("a=b;c"));
    // present but empty is empty, not the default
    EXPECT_EQ(ini.readString(S("Адреса"), "Empty", "default"), QString());
}

TEST_F(IniFileTest, NamesAreCaseInsensitive)
{
    writeBytes(path(), kLegacyIni);
    IniFile ini(path());
    EXPECT_EQ(ini.readString("MAIN", "name"), S("Диспетчерська"));
    EXPECT_EQ(ini.readString(S("АДРЕСА"), S("МІСТО")), S("Луцьк, вул. \"Соборна\", 5"));
    EXPECT_EQ(ini.readString(S("адреса"), S("місто")), S("Луцьк, вул. \"Соборна\", 5"));
    EXPECT_EQ(ini.readInteger(" other ", " x ", 0), 1);
}

TEST_F(IniFileTest, CommentsAreNotKeys)
{
    writeBytes(path(), "[A]\r\n;Key=1\r\n  ; Other=2\r\nKey=3\r\n");
    IniFile ini(path());
    EXPECT_EQ(ini.readString("A", ";Key", "none"), S("none"));
    EXPECT_EQ(ini.readString("A", "Other", "none"), S("none"));
    EXPECT_EQ(ini.readInteger("A", "Key", 0), 3);
    EXPECT_EQ(ini.readSection("A"), QStringList{"Key"});
}

TEST_F(IniFileTest, BooleansAndIntegers)
{
    writeBytes(path(), kLegacyIni);
    IniFile ini(path());
    const QString s = S("Адреса");
    EXPECT_TRUE(ini.readBool(s, "Flag", false));       // 5 -> true
    EXPECT_FALSE(ini.readBool(s, "Zero", true));       // 0 -> false
    EXPECT_TRUE(ini.readBool(s, "Negative", false));   // any non-zero whole number
    EXPECT_TRUE(ini.readBool(s, "Big", false));        // even beyond int range
    EXPECT_TRUE(ini.readBool(s, "Word", true));        // not a number -> default
    EXPECT_FALSE(ini.readBool(s, "Word", false));
    EXPECT_TRUE(ini.readBool(s, "Empty", true));
    EXPECT_FALSE(ini.readBool(s, "Quoted", false));

    EXPECT_EQ(ini.readInteger(s, "Flag", 7), 5);
    EXPECT_EQ(ini.readInteger(s, "Negative", 7), -12);
    EXPECT_EQ(ini.readInteger(s, "Word", 7), 7);
    EXPECT_EQ(ini.readInteger(s, "Empty", 7), 7);
    EXPECT_EQ(ini.readInteger(s, "Big", 7), 7);  // out of int range
}

TEST_F(IniFileTest, NumbersMustBeWhole)
{
    writeBytes(path(), "[N]\nA=12abc\nB=1.5\nC= +42 \nD=0x10\nE=1 000\nF=00\n");
    IniFile ini(path());
    EXPECT_EQ(ini.readInteger("N", "A", -1), -1);
    EXPECT_EQ(ini.readInteger("N", "B", -1), -1);
    EXPECT_EQ(ini.readInteger("N", "C", -1), 42);
    EXPECT_EQ(ini.readInteger("N", "D", -1), -1);
    EXPECT_EQ(ini.readInteger("N", "E", -1), -1);
    EXPECT_FALSE(ini.readBool("N", "F", true));
    EXPECT_TRUE(ini.readBool("N", "A", true));
    EXPECT_FALSE(ini.readBool("N", "A", false));
}

TEST_F(IniFileTest, MissingKeysSectionsAndFilesGiveDefaults)
{
    writeBytes(path(), kLegacyIni);
    IniFile ini(path());
    EXPECT_EQ(ini.readString("Main", "Nope", "dflt"), S("dflt"));
    EXPECT_EQ(ini.readString("Nope", "Name", "dflt"), S("dflt"));
    EXPECT_EQ(ini.readInteger("Main", "Nope", 17), 17);
    EXPECT_TRUE(ini.readBool("Main", "Nope", true));
    EXPECT_FALSE(ini.readBool("Main", "Nope", false));
    // a key of another section is not found in this one
    EXPECT_EQ(ini.readString("Other", "Name", "dflt"), S("dflt"));

    IniFile none(path("missing.ini"));
    EXPECT_FALSE(none.exists());
    EXPECT_EQ(none.readString("Main", "Name", "dflt"), S("dflt"));
    EXPECT_EQ(none.readInteger("Main", "Port", 3), 3);
    EXPECT_FALSE(QFile::exists(path("missing.ini")));  // reading creates nothing
}

TEST_F(IniFileTest, KeysBeforeTheFirstSectionAreNotInAnySection)
{
    writeBytes(path(), "Loose=1\n[A]\nKey=2\n");
    IniFile ini(path());
    EXPECT_EQ(ini.readString("A", "Loose", "none"), S("none"));
    EXPECT_EQ(ini.readString("", "Loose", "none"), S("none"));
}

TEST_F(IniFileTest, FirstOccurrenceWins)
{
    writeBytes(path(), "[A]\nKey=1\nkey=2\n[a]\nKey=3\nOnlyHere=4\n");
    IniFile ini(path());
    EXPECT_EQ(ini.readInteger("A", "KEY", 0), 1);
    EXPECT_EQ(ini.readSections(), QStringList{"A"});
    EXPECT_EQ(ini.readSection("A"), QStringList{"Key"});
}

TEST_F(IniFileTest, UpdateInPlaceKeepsEverythingElseAndTheEncoding)
{
    writeBytes(path(), kLegacyIni);
    IniFile ini(path());
    ini.writeString("main", "NAME", S("Нова назва, \"офіс\""));
    EXPECT_TRUE(ini.lastError().isEmpty()) << ini.lastError().toStdString();

    QByteArray expected = kLegacyIni;
    expected.replace("Name=\xc4\xe8\xf1\xef\xe5\xf2\xf7\xe5\xf0\xf1\xfc\xea\xe0\r\n",
                     win1251::fromUnicode(S("Name=Нова назва, \"офіс\"\r\n")));
    EXPECT_EQ(readBytes(path()), expected);

    bool utf8 = true;
    DecodeLegacyText(readBytes(path()), &utf8);
    EXPECT_FALSE(utf8);
    EXPECT_EQ(IniFile(path()).readString("Main", "Name"), S("Нова назва, \"офіс\""));
}

TEST_F(IniFileTest, UpdateKeepsTheKeysSpellingAndBlanksAroundTheSign)
{
    writeBytes(path(), kLegacyIni);
    IniFile ini(path());
    ini.writeInteger("MAIN", "port", 6000);
    QByteArray expected = kLegacyIni;
    expected.replace("Port = 5000\r\n", "Port = 6000\r\n");
    EXPECT_EQ(readBytes(path()), expected);
}

TEST_F(IniFileTest, NewKeyGoesToTheEndOfItsSection)
{
    writeBytes(path(), kLegacyIni);
    IniFile ini(path());
    ini.writeString("Main", "City", S("Київ"));
    ini.writeBool("Other", "Enabled", true);

    QByteArray expected = kLegacyIni;
    expected.replace("Port = 5000\r\n", "Port = 5000\r\nCity=\xca\xe8\xbf\xe2\r\n");
    expected += "Enabled=1\r\n";
    EXPECT_EQ(readBytes(path()), expected);
}

TEST_F(IniFileTest, NewSectionGoesToTheEndOfTheFile)
{
    writeBytes(path(), kLegacyIni);
    IniFile ini(path());
    ini.writeString(S("Новини"), "Title", S("Привіт"));
    EXPECT_EQ(readBytes(path()), kLegacyIni + win1251::fromUnicode(S("[Новини]\r\nTitle=Привіт\r\n")));
    EXPECT_EQ(ini.readSections(), (QStringList{"Main", S("Адреса"), "Other", S("Новини")}));
}

TEST_F(IniFileTest, LastLineWithoutLineEnd)
{
    writeBytes(path(), "[A]\r\nx=1");
    IniFile ini(path());
    ini.writeInteger("A", "y", 2);
    EXPECT_EQ(readBytes(path()), QByteArray("[A]\r\nx=1\r\ny=2\r\n"));
    ini.writeInteger("B", "z", 3);
    EXPECT_EQ(readBytes(path()), QByteArray("[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n"));
}

TEST_F(IniFileTest, NewKeyInSectionWithoutKeysGoesAfterItsLastNonBlankLine)
{
    writeBytes(path(), "[A]\n; about A\n\n[B]\nk=1\n");
    IniFile ini(path());
    ini.writeString("A", "x", "1");
    EXPECT_EQ(readBytes(path()), QByteArray("[A]\n; about A\nx=1\n\n[B]\nk=1\n"));
}

TEST_F(IniFileTest, WriteBoolWritesOneAndZero)
{
    IniFile ini(path());
    ini.writeBool("S", "On", true);
    ini.writeBool("S", "Off", false);
    ini.writeInteger("S", "Minus", -3);
    EXPECT_EQ(readBytes(path()), QByteArray("[S]\r\nOn=1\r\nOff=0\r\nMinus=-3\r\n"));
    EXPECT_TRUE(ini.readBool("S", "On", false));
    EXPECT_FALSE(ini.readBool("S", "Off", true));
    EXPECT_EQ(ini.readInteger("S", "Minus", 0), -3);
}

TEST_F(IniFileTest, NewFileIsUtf8WithCrLf)
{
    IniFile ini(path());
    EXPECT_FALSE(ini.exists());
    ini.writeString(S("Місто"), S("Назва"), S("Луцьк"));
    EXPECT_TRUE(ini.exists());
    EXPECT_EQ(readBytes(path()), S("[Місто]\r\nНазва=Луцьк\r\n").toUtf8());
}

TEST_F(IniFileTest, NewFileStaysUtf8AfterAnAsciiFirstWrite)
{
    IniFile ini(path());
    ini.writeInteger("Main", "Port", 5000);
    ini.writeString("Main", "City", S("Київ"));
    EXPECT_EQ(readBytes(path()), S("[Main]\r\nPort=5000\r\nCity=Київ\r\n").toUtf8());
}

TEST_F(IniFileTest, Windows1251FileBecomesUtf8RatherThanLoseACharacter)
{
    writeBytes(path(), kLegacyIni);
    IniFile ini(path());
    ini.writeString("Main", "Car", S("Таксі 🚕 №1, Łódź"));

    const QByteArray bytes = readBytes(path());
    bool utf8 = false;
    const QString text = DecodeLegacyText(bytes, &utf8);
    EXPECT_TRUE(utf8);
    EXPECT_FALSE(HasUtf8Bom(bytes));
    QString expected = win1251::toUnicode(kLegacyIni);
    expected.replace(S("Port = 5000\r\n"), S("Port = 5000\r\nCar=Таксі 🚕 №1, Łódź\r\n"));
    EXPECT_EQ(text, expected);

    IniFile again(path());
    EXPECT_EQ(again.readString("Main", "Car"), S("Таксі 🚕 №1, Łódź"));
    EXPECT_EQ(again.readString(S("Адреса"), S("Місто")), S("Луцьк, вул. \"Соборна\", 5"));
    EXPECT_EQ(again.readString("Main", "Name"), S("Диспетчерська"));
}

TEST_F(IniFileTest, ReadsAndKeepsUtf8WithLf)
{
    const QByteArray utf8File = S("[Головна]\nМісто = Київ\n; коментар\nЧисло=3\n").toUtf8();
    writeBytes(path(), utf8File);
    IniFile ini(path());
    EXPECT_EQ(ini.readString(S("головна"), S("місто")), S("Київ"));
    EXPECT_EQ(ini.readInteger(S("Головна"), S("ЧИСЛО"), 0), 3);

    ini.writeString(S("Головна"), S("Місто"), S("Луцьк"));
    ini.writeString(S("Головна"), "New", S("Нове"));
    EXPECT_EQ(readBytes(path()), S("[Головна]\nМісто = Луцьк\n; коментар\nЧисло=3\nNew=Нове\n").toUtf8());
}

TEST_F(IniFileTest, KeepsTheByteOrderMarkOfAUtf8File)
{
    writeBytes(path(), QByteArray("\xEF\xBB\xBF") + S("[A]\r\nk=ї\r\n").toUtf8());
    IniFile ini(path());
    EXPECT_EQ(ini.readString("A", "k"), S("ї"));
    ini.writeString("A", "k", S("є"));
    EXPECT_EQ(readBytes(path()), QByteArray("\xEF\xBB\xBF") + S("[A]\r\nk=є\r\n").toUtf8());
}

TEST_F(IniFileTest, AsciiFileTakesCyrillicAsWindows1251)
{
    // A file of the old program that happens to hold only ASCII stays readable by it.
    writeBytes(path(), "[Main]\r\nPort=5000\r\n");
    IniFile ini(path());
    ini.writeString("Main", "City", S("Київ"));
    EXPECT_EQ(readBytes(path()), QByteArray("[Main]\r\nPort=5000\r\nCity=\xca\xe8\xbf\xe2\r\n"));
}

TEST_F(IniFileTest, WritesReachTheFileAtOnce)
{
    IniFile writer(path());
    IniFile reader(path());
    writer.writeString("Order", "Step", "1");
    EXPECT_EQ(reader.readString("Order", "Step"), S("1"));
    EXPECT_EQ(IniFile(path()).readString("Order", "Step"), S("1"));
    writer.writeString("Order", "Step", "2");
    EXPECT_EQ(reader.readString("Order", "Step"), S("2"));

    // the other object writes too: neither loses the other's keys
    reader.writeString("Order", "Other", "x");
    writer.writeString("Order", "Step", "3");
    EXPECT_EQ(readBytes(path()), QByteArray("[Order]\r\nStep=3\r\nOther=x\r\n"));

    // changed behind its back by another program
    writeBytes(path(), "[Order]\r\nStep=9\r\n");
    EXPECT_EQ(writer.readInteger("Order", "Step", 0), 9);
    EXPECT_EQ(writer.readString("Order", "Other", "gone"), S("gone"));
}

TEST_F(IniFileTest, WritesLeaveNoTemporaryFiles)
{
    writeBytes(path(), kLegacyIni);
    IniFile ini(path());
    for (int i = 0; i < 5; ++i)
        ini.writeInteger("Main", "Counter", i);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"settings.ini"});
}

TEST_F(IniFileTest, UnchangedValueIsNotRewritten)
{
    writeBytes(path(), "[A]\nk = v\n");
    IniFile ini(path());
    ini.writeString("a", "K", "v");
    EXPECT_EQ(readBytes(path()), QByteArray("[A]\nk = v\n"));
}

TEST_F(IniFileTest, LineBreaksInValuesBecomeSpaces)
{
    IniFile ini(path());
    ini.writeString("A", "k", "one\r\ntwo\nthree");
    EXPECT_EQ(ini.readString("A", "k"), S("one two three"));
}

TEST_F(IniFileTest, NamesThatCannotBeStoredAreRefused)
{
    writeBytes(path(), "[A]\r\nk=1\r\n");
    IniFile ini(path());
    ini.writeString("A", "a=b", "1");
    EXPECT_FALSE(ini.lastError().isEmpty());
    ini.writeString("A", "", "1");
    EXPECT_FALSE(ini.lastError().isEmpty());
    ini.writeString("", "k", "1");
    EXPECT_FALSE(ini.lastError().isEmpty());
    ini.writeString("A", ";k", "1");
    EXPECT_FALSE(ini.lastError().isEmpty());
    ini.writeString("A\nB", "k", "1");
    EXPECT_FALSE(ini.lastError().isEmpty());
    EXPECT_EQ(readBytes(path()), QByteArray("[A]\r\nk=1\r\n"));
    ini.writeString("A", "k", "2");
    EXPECT_TRUE(ini.lastError().isEmpty());
}

TEST_F(IniFileTest, WriteFailureIsReported)
{
    IniFile ini(dir.filePath("no/such/folder/settings.ini"));
    ini.writeString("A", "k", "1");
    EXPECT_FALSE(ini.lastError().isEmpty());
    EXPECT_EQ(ini.readString("A", "k", "dflt"), S("dflt"));
}

TEST_F(IniFileTest, DeleteKeyAndQueries)
{
    writeBytes(path(), kLegacyIni);
    IniFile ini(path());
    EXPECT_TRUE(ini.sectionExists(S("адреса")));
    EXPECT_FALSE(ini.sectionExists("Nope"));
    EXPECT_TRUE(ini.valueExists("Other", "x"));
    EXPECT_EQ(ini.readSection("Main"), (QStringList{"Name", "Port"}));
    ini.deleteKey("Other", "X");
    EXPECT_FALSE(ini.valueExists("Other", "x"));
    QByteArray expected = kLegacyIni;
    expected.chop(int(qstrlen("X=1\r\n")));
    EXPECT_EQ(readBytes(path()), expected);
}

}  // namespace
