// lumora-cli insert: a picture file inserted whole into a document, as the
// picture window's "Insert" does without clips; bad pictures and options
// write nothing.
#include "cli_runner.h"

#include "model/docfile.h"
#include "model/item.h"
#include "model/itemlist.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

using testcli::runCli;

namespace {

struct yes : model::docReadQuestions_t {
    bool askOpenInvalid() override { return true; }
    void warnNewerVersion(const std::string&) override {}
};

class Insert : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString doc, pictures;
    void SetUp() override
    {
        doc = dir.filePath("empty.lmra");
        pictures = dir.filePath("pictures");
        ASSERT_TRUE(QDir().mkpath(pictures));
        ASSERT_EQ(runCli({"new", doc, "--type", "1"}).code, 0);
        ASSERT_EQ(runCli({"samples", pictures}).code, 0);
    }
    QByteArray bytesOf(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

TEST_F(Insert, EveryFormatIsInsertedWholeAtItsCornerAndZoom)
{
    const struct {
        const char* file;
        int32_t format;
    } files[] = {{"40x30-sample.png", model::picturePng},  {"40x30-sample.svg", model::pictureSvg},
                 {"40x30-sample.webp", model::pictureWebp}, {"40x30-sample.tif", model::pictureTiff},
                 {"40x30-sample.jpg", model::pictureJpeg},  {"40x30-sample.wmf", model::pictureMetafile}};
    for (const auto& f : files) {
        const QString picture = QDir(pictures).filePath(f.file), out = dir.filePath("out.lmra");
        const auto r = runCli({"insert", doc, picture, out, "--at", "30,40", "--zoom", "200"});
        ASSERT_EQ(r.code, 0) << f.file << ": " << r.err.toStdString();
        model::itemList_t list;
        yes q;
        ASSERT_TRUE(model::readDocument(out.toStdString(), list, q)) << f.file;
        const model::item_t *data = nullptr, *pic = nullptr;
        for (const model::item_t* it = list.head; it; it = it->next) {
            if (it->itemType == model::typePictureData) data = it;
            if (it->itemType == model::typePicture) pic = it;
        }
        ASSERT_TRUE(data && pic) << f.file;
        EXPECT_EQ(data->pictureFormat(), f.format) << f.file;
        EXPECT_EQ(pic->pictureId, data->pictureId);
        EXPECT_EQ(pic->clipShape, model::clipWhole);
        // 40 × 30 at 200 %: 80 × 60 document pixels from the corner; the entire image inclusive.
        EXPECT_EQ((std::array{pic->x1, pic->y1, pic->x2, pic->y2}), (std::array{30, 40, 110, 100})) << f.file;
        EXPECT_EQ((std::array{pic->srcLeft, pic->srcTop, pic->srcRight, pic->srcBottom}), (std::array{0, 0, 39, 29}))
            << f.file;
        EXPECT_EQ(pic->scaleX, 2.0);
        if (f.format != model::pictureJpeg) {
            const QByteArray file = bytesOf(picture);
            EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(data->stream->data()), qsizetype(data->stream->size())),
                      file)
                << f.file << " is stored as read";
        }
        model::freeList(list);
    }
}

TEST_F(Insert, DefaultsAreTwentyTwentyAtOneHundredPercent)
{
    const QString out = dir.filePath("out.lmra");
    ASSERT_EQ(runCli({"insert", doc, QDir(pictures).filePath("16x12-sample.bmp"), out}).code, 0);
    model::itemList_t list;
    yes q;
    ASSERT_TRUE(model::readDocument(out.toStdString(), list, q));
    const model::item_t* pic = nullptr;
    for (const model::item_t* it = list.head; it; it = it->next)
        if (it->itemType == model::typePicture) pic = it;
    ASSERT_TRUE(pic);
    EXPECT_EQ((std::array{pic->x1, pic->y1, pic->x2, pic->y2}), (std::array{20, 20, 36, 32}));
    model::freeList(list);
}

TEST_F(Insert, BadPicturesAndOptionsWriteNothing)
{
    const QString notes = dir.filePath("notes.txt"), out = dir.filePath("out.lmra");
    {
        QFile f(notes);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a picture");
    }
    const QString png = QDir(pictures).filePath("40x30-sample.png");
    const struct {
        QStringList args;
        int code;
    } cases[] = {
        {{"insert", doc, notes, out}, 4},
        {{"insert", doc, dir.filePath("missing.png"), out}, 2},
        {{"insert", dir.filePath("missing.lmra"), png, out}, 2},
        {{"insert", doc, png, out, "--zoom", "0"}, 1},
        {{"insert", doc, png, out, "--at", "12"}, 1},
        {{"insert", doc, png}, 1},
    };
    for (const auto& c : cases) {
        const auto r = runCli(c.args);
        EXPECT_EQ(r.code, c.code) << c.args.join(' ').toStdString() << ": " << r.err.toStdString();
        EXPECT_FALSE(r.err.isEmpty());
        EXPECT_FALSE(QFileInfo::exists(out)) << c.args.join(' ').toStdString();
    }
}

} // namespace
