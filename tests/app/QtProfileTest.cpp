#include "app/QtProfile.h"
#include "support/TempDir.h"

#include <QFile>
#include <QSettings>

#include <gtest/gtest.h>

namespace {

class QtProfileTest : public ::testing::Test {
protected:
    QString Ini() const { return QString::fromStdString(m_dir.File("kurvo.ini")); }
    TempDir m_dir;
};

// A hand-edited settings file must not make the program read garbage as numbers.
TEST_F(QtProfileTest, TextThatIsNotANumberReadsAsTheDefault)
{
    {
        QSettings raw(Ini(), QSettings::IniFormat);
        raw.setValue("Settings/ZoomType", "fast");
        raw.setValue("Settings/CacheSize", "12abc");
        raw.setValue("Settings/SortData", " 0 ");
        raw.setValue("Settings/BoxColor", "4294967295");
        raw.sync();
    }
    QtProfile p(Ini());
    EXPECT_EQ(p.GetInt("Settings", "ZoomType", 2), 2);
    EXPECT_EQ(p.GetInt("Settings", "CacheSize", 3), 3);
    EXPECT_EQ(p.GetInt("Settings", "SortData", 1), 0);
    EXPECT_EQ(static_cast<unsigned>(p.GetInt("Settings", "BoxColor", 0)), 0xFFFFFFFFu);
    EXPECT_EQ(p.GetString("Settings", "Missing", "def"), "def");
}

} // namespace
