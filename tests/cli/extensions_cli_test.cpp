// lumora-cli dump --json and info on a document with extension data.
#include "cli_runner.h"
#include "model/docfile.h"
#include "model/extensions.h"
#include "model/itemlist.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

namespace {

using testcli::runCli;

struct noQuestions : model::docReadQuestions_t {
    bool askOpenInvalid() override { return false; }
    void warnNewerVersion(const std::string&) override {}
};

// The example document with values on its first line and on the document.
QString exampleWithExtensions(const QTemporaryDir& dir)
{
    const QString name = dir.filePath("ext.lmra");
    EXPECT_EQ(runCli({"example", name}).code, 0);
    model::itemList_t list;
    noQuestions q;
    EXPECT_TRUE(model::readDocument(name.toStdString(), list, q));
    for (model::item_t* it = list.head; it; it = it->next) {
        if (it->itemType != model::typeLine || it->hidden) continue;
        auto& e = model::extensionsOf(it);
        e.setInteger("arrow.start", -2);
        e.setNumber("arrow.size", 1.5);
        e.put({"future.thing", 42, 3, {0xAB, 0x01}});
        break;
    }
    model::documentExtensions(list)->setText("merge.source", "caf\xc3\xa9.csv");
    EXPECT_TRUE(model::writeDocument(name.toStdString(), list));
    model::freeList(list);
    return name;
}

TEST(CliExtensions, DumpShowsEachRecordsValuesTypedAndUnknownOnesInHex)
{
    QTemporaryDir dir;
    const QString name = exampleWithExtensions(dir);
    const auto r = runCli({"dump", "--json", name});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    const QJsonArray records = QJsonDocument::fromJson(r.out.toUtf8()).object()["records"].toArray();
    int withExtensions = 0;
    for (const auto& v : records) {
        const QJsonObject rec = v.toObject();
        EXPECT_NE(rec["itemType"].toInt(), model::typeExtension) << "extension records are no records of the list";
        if (!rec.contains("extensions")) continue;
        ++withExtensions;
        const QJsonArray ext = rec["extensions"].toArray();
        if (rec["itemType"].toInt() == model::typeHeader) {
            ASSERT_EQ(ext.size(), 1);
            EXPECT_EQ(ext[0].toObject()["key"].toString(), "merge.source");
            EXPECT_EQ(ext[0].toObject()["value"].toString(), QString::fromUtf8("caf\xc3\xa9.csv"));
            continue;
        }
        EXPECT_EQ(rec["itemType"].toInt(), model::typeLine);
        ASSERT_EQ(ext.size(), 3);
        EXPECT_EQ(ext[0].toObject()["value"].toInteger(), -2);
        EXPECT_EQ(ext[0].toObject()["type"].toInt(), 1);
        EXPECT_EQ(ext[1].toObject()["value"].toDouble(), 1.5);
        EXPECT_EQ(ext[2].toObject()["type"].toInt(), 42);
        EXPECT_EQ(ext[2].toObject()["version"].toInt(), 3);
        EXPECT_EQ(ext[2].toObject()["value"].toString(), "ab01");
    }
    EXPECT_EQ(withExtensions, 2);
}

TEST(CliExtensions, InfoCountsTheValuesByOwner)
{
    QTemporaryDir dir;
    const QString name = exampleWithExtensions(dir);
    const auto r = runCli({"info", name});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains("Extension data: 1 value(s) of the document, 3 value(s) on 1 item(s)")) << r.out.toStdString();
    EXPECT_FALSE(r.out.contains("unknown kind")) << "extension records are not counted as records";
}

} // namespace
