// The helper programs of the data build: the ct.sym converter, the gold dump and the mark setter.

#include "GoldTestSupport.h"

#include "SigConverter.h"
#include "classfile/JavaClassFile.h"
#include "support/ProcessRunner.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <string>

using namespace GoldTestSupport;

namespace {

/// A signature file as ct.sym holds it: class p/C with a concrete, an abstract and a native method,
/// none with code, and a class attribute of a later release.
class SigBuilder
{
public:
    SigConverter::Bytes build() const
    {
        SigConverter::Bytes b;
        u4(b, 0xCAFEBABE);
        u2(b, 0);
        u2(b, 61);
        const char *utf8[] = { "p/C", "java/lang/Object", "m", "(JI[Ljava/lang/String;D)V", "a",
                               "()V", "ModuleTarget",     "s" };
        u2(b, 11); // constant_pool_count: 8 Utf8 entries, then 2 Class entries
        for (const char *text : utf8) {
            b.push_back(1);
            u2(b, std::uint16_t(std::string(text).size()));
            b.insert(b.end(), text, text + std::string(text).size());
        }
        b.push_back(7);
        u2(b, 1); // #9 Class p/C
        b.push_back(7);
        u2(b, 2); // #10 Class java/lang/Object
        u2(b, 0x0421); // public abstract super
        u2(b, 9);
        u2(b, 10);
        u2(b, 0); // interfaces
        u2(b, 0); // fields
        u2(b, 4); // methods
        method(b, 0x0001, 3, 4); // m: public
        method(b, 0x0401, 5, 6); // a: public abstract
        method(b, 0x0101, 5, 6); // a: public native
        method(b, 0x0009, 8, 6); // s: public static
        u2(b, 1); // class attributes
        u2(b, 7);
        u4(b, 2);
        u2(b, 0);
        return b;
    }

private:
    static void u2(SigConverter::Bytes &b, std::uint16_t v)
    {
        b.push_back(std::uint8_t(v >> 8));
        b.push_back(std::uint8_t(v));
    }
    static void u4(SigConverter::Bytes &b, std::uint32_t v)
    {
        u2(b, std::uint16_t(v >> 16));
        u2(b, std::uint16_t(v));
    }
    static void method(SigConverter::Bytes &b,
                       std::uint16_t flags,
                       std::uint16_t name,
                       std::uint16_t descriptor)
    {
        u2(b, flags);
        u2(b, name);
        u2(b, descriptor);
        u2(b, 0);
    }
};

std::unique_ptr<JavaClassFile> parse(const SigConverter::Bytes &bytes)
{
    return std::unique_ptr<JavaClassFile>(
        JavaClassFile::create(reinterpret_cast<const char *>(bytes.data()), int(bytes.size())));
}

/// A small gold file: one class without parent, one with an empty parent and two methods.
QString writeSmallGold(const QTemporaryDir &dir)
{
    JClasses root;
    JClass *orphan = root.add_classes();
    orphan->set_name("Lp/Orphan;");
    JClass *system = root.add_classes();
    system->set_name("Lp/System;");
    system->set_parent("");
    system->add_methods()->set_name("loadLibrary");
    system->add_methods()->set_name("gc");
    const QString path = dir.filePath("small.javagold");
    ProtoIO::write(&root, path);
    return path;
}

} // namespace

TEST(SigConverter, GivesEveryConcreteMethodACodeBodyTheReaderAccepts)
{
    const SigConverter::Result result = SigConverter::convert(SigBuilder().build());
    ASSERT_EQ(result.error, "");
    EXPECT_EQ(result.className, "p/C");

    const auto file = parse(result.classFile);
    EXPECT_FALSE(file->checkLog.hasErrors) << file->checkLog.messages.join("\n").toStdString();
    EXPECT_FALSE(file->checkLog.hasWarnings) << "the later release's attribute is dropped";
    EXPECT_EQ(file->major_version, 52);
    ASSERT_EQ(file->methods.size(), 4);
    const Code_attribute *concrete = file->getMethodCodeAttr(file->methods[0]);
    ASSERT_NE(concrete, nullptr);
    EXPECT_EQ(concrete->max_locals, 1 + 2 + 1 + 1 + 2) << "this, long, int, array, double";
    EXPECT_EQ(file->getMethodCodeAttr(file->methods[1]), nullptr) << "abstract";
    EXPECT_EQ(file->getMethodCodeAttr(file->methods[2]), nullptr) << "native";
    const Code_attribute *staticBody = file->getMethodCodeAttr(file->methods[3]);
    ASSERT_NE(staticBody, nullptr);
    EXPECT_EQ(staticBody->max_locals, 0);
}

TEST(SigConverter, RejectsEveryTruncationAndBadMagic)
{
    const SigConverter::Bytes whole = SigBuilder().build();
    for (std::size_t length = 0; length < whole.size(); ++length) {
        const SigConverter::Bytes cut(whole.begin(), whole.begin() + long(length));
        const SigConverter::Result result = SigConverter::convert(cut);
        EXPECT_NE(result.error, "") << "length " << length;
        EXPECT_TRUE(result.classFile.empty());
    }
    SigConverter::Bytes jar = whole;
    jar[0] = 'P';
    EXPECT_EQ(SigConverter::convert(jar).error, "not a class file");
}

TEST(GoldDump, PrintsEveryFieldAndTellsAbsentFromEmpty)
{
    QTemporaryDir dir;
    const ProcessRunner::Result run
        = ProcessRunner(JCT_GOLDDUMP_BINARY).run({ writeSmallGold(dir) });
    const std::string out = run.out.toStdString();

    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_NE(out.find("JClasses classes=2\n"), std::string::npos) << out;
    EXPECT_NE(out.find("JClass name=\"Lp/Orphan;\" filename=(absent) package=(absent) "
                       "parent=(absent) interfaces=[] permission=(absent)"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("JClass name=\"Lp/System;\" filename=(absent) package=(absent) parent=\"\""),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("  JMethod name=\"loadLibrary\" descriptor_=(absent) permission=(absent) "
                       "final=(absent) static=(absent) exceptions=[] "
                       "requireInspection=(absent) signature_polymorphic=(absent)\n"),
              std::string::npos)
        << out;
}

TEST(GoldDump, RejectsAFileThatIsNoGoldFile)
{
    QTemporaryDir dir;
    const ProcessRunner::Result missing
        = ProcessRunner(JCT_GOLDDUMP_BINARY).run({ dir.filePath("none.javagold") });
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_TRUE(missing.err.contains("cannot open"));
}

TEST(GoldMark, MarksEveryMethodOfTheNameAndFailsOnAnUnknownOne)
{
    QTemporaryDir dir;
    const QString path = writeSmallGold(dir);

    const ProcessRunner goldmark(JCT_GOLDMARK_BINARY);
    const ProcessRunner::Result marked
        = goldmark.run({ path, "--require-inspection", "Lp/System;", "loadLibrary" });
    ASSERT_EQ(marked.exitCode, 0) << marked.err.toStdString();
    const auto root = readGold(path);
    const JClass *system = findRecord(*root, "Lp/System;");
    ASSERT_NE(system, nullptr);
    EXPECT_TRUE(findMethod(*system, "loadLibrary")->requireinspection());
    EXPECT_FALSE(findMethod(*system, "loadLibrary")->has_signature_polymorphic());
    EXPECT_FALSE(findMethod(*system, "gc")->has_requireinspection());

    const ProcessRunner::Result unknown
        = goldmark.run({ path, "--signature-polymorphic", "Lp/System;", "invoke" });
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.err.contains("has no method invoke in Lp/System;"));
}
