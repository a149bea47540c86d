// Every input a fuzz target once failed on, kept in fuzz/regressions/<target>/,
// goes through that target's work again: under the sanitizers any return of
// the fault ends the test.
#include "../../fuzz/harness.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

namespace {

struct finding {
    std::string target;
    std::string file;
};

void PrintTo(const finding& f, std::ostream* os) { *os << f.target << "/" << f.file; }

std::vector<finding> findings()
{
    std::vector<finding> out;
    const QDir root(QStringLiteral(LUMORA_SOURCE_DIR "/fuzz/regressions"));
    for (const QString& target : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        for (const QString& file : QDir(root.filePath(target)).entryList(QDir::Files, QDir::Name))
            out.push_back({target.toStdString(), file.toStdString()});
    return out;
}

QByteArray bytesOf(const finding& f)
{
    QFile in(QStringLiteral(LUMORA_SOURCE_DIR "/fuzz/regressions/%1/%2")
                 .arg(QString::fromStdString(f.target), QString::fromStdString(f.file)));
    return in.open(QIODevice::ReadOnly) ? in.readAll() : QByteArray();
}

class FuzzFindings : public ::testing::TestWithParam<finding> {};

} // namespace

TEST_P(FuzzFindings, GoThroughTheirTargetCleanly)
{
    const finding& f = GetParam();
    const QByteArray b = bytesOf(f);
    ASSERT_FALSE(b.isEmpty()) << "the finding is kept";
    const auto* data = reinterpret_cast<const uint8_t*>(b.constData());
    const size_t size = static_cast<size_t>(b.size());
    if (f.target == "render_document") {
        fuzzing::paintDocument(data, size);
    } else if (f.target.rfind("decode_", 0) == 0) {
        EXPECT_TRUE(fuzzing::decodeAs(f.target, data, size)) << "a folder of findings for an unknown decoder";
    } else if (f.target == "dump_document") {
        EXPECT_TRUE(fuzzing::dumpIsWellFormed(data, size));
    } else {
        ASSERT_EQ(f.target, "read_document") << "a folder of findings for an unknown target";
        model::itemList_t list;
        fuzzing::readDocument(data, size, list);
        model::freeList(list);
    }
}

INSTANTIATE_TEST_SUITE_P(Kept, FuzzFindings, ::testing::ValuesIn(findings()), [](const auto& info) {
    std::string n = info.param.target + "_" + info.param.file;
    for (char& c : n)
        if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
    return n;
});
