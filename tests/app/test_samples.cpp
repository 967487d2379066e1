// The samples folder: what is copied from the installation folder and what is left alone.
#include "app/AppFolders.h"
#include "app/SamplesFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vst::app;

namespace {

void writeText(const QString& path, const QByteArray& text) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

QByteArray readText(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST(SamplesFolder, MissingEntriesAreCopiedAndExistingOnesNeverMerged) {
    QTemporaryDir dir;
    const QString install = dir.path() + "/install";
    const QString target = dir.path() + "/docs/Vistrelune";
    writeText(install + "/samples/a/star.png", "star");
    writeText(install + "/colors/one.pal", "one");
    writeText(install + "/colors/two.pal", "two");
    writeText(install + "/presetsdata.dat", "new presets");
    writeText(target + "/colors/one.pal", "mine");
    writeText(target + "/presetsdata.dat", "my presets");

    ASSERT_TRUE(provideSamplesFolder(install, target));
    EXPECT_EQ(readText(target + "/samples/a/star.png"), "star"); // copied whole, with subfolders
    EXPECT_EQ(readText(target + "/colors/one.pal"), "mine");
    EXPECT_FALSE(QFile::exists(target + "/colors/two.pal")); // an existing folder is not merged
    EXPECT_EQ(readText(target + "/presetsdata.dat"), "my presets");
    EXPECT_EQ(samplesPaths().colors, target + "/colors");

    // Deleting the samples folder and starting again brings it back.
    QDir(target + "/samples").removeRecursively();
    ASSERT_TRUE(provideSamplesFolder(install, target));
    EXPECT_EQ(readText(target + "/samples/a/star.png"), "star");
}

TEST(SamplesFolder, AFolderThatCantBeCreatedIsReported) {
    QTemporaryDir dir;
    writeText(dir.path() + "/file", "x");
    EXPECT_FALSE(provideSamplesFolder(dir.path(), dir.path() + "/file/sub"));
}

TEST(TemporaryFiles, OnlyOurFoldersMagickFilesAreDeleted) {
    QTemporaryDir dir;
    writeText(dir.path() + "/magick-123.tmp", "x");
    writeText(dir.path() + "/magick-abc.cache", "x");
    writeText(dir.path() + "/other.tmp", "x");
    QDir().mkpath(dir.path() + "/magick-dir.d");
    EXPECT_EQ(deleteMagickTempFiles(dir.path()), 2);
    EXPECT_TRUE(QFile::exists(dir.path() + "/other.tmp"));
    EXPECT_TRUE(QDir(dir.path() + "/magick-dir.d").exists());
}
