// The helper programs of the data build: the ct.sym converter, the gold dump and the mark setter.

#include "GoldTestSupport.h"

#include "SigConverter.h"
#include "classfile/JavaClassFile.h"
#include "support/ClassFileBuilder.h"
#include "support/Golden.h"
#include "support/ProcessRunner.h"
#include "support/ProtoData.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

using namespace GoldTestSupport;

namespace {

/// A signature file as ct.sym holds it: class p/C with a concrete, an abstract, a native and a
/// static method, none with code, and a class attribute of a later release.
SigConverter::Bytes signatureFile()
{
    ClassFileBuilder builder("p/C");
    builder.majorVersion = 61;
    builder.accessFlags = 0x0421;
    builder.addMethod(0x0001, "m", "(JI[Ljava/lang/String;D)V");
    builder.addMethod(0x0401, "a", "()V");
    builder.addMethod(0x0101, "a", "()V");
    builder.addMethod(0x0009, "s", "()V");
    builder.addClassAttribute(builder.attribute("ModuleTarget", ByteWriter().u2(0).data()));
    const QByteArray bytes = builder.build();
    return SigConverter::Bytes(bytes.begin(), bytes.end());
}

/// A small gold file: one class without parent, one with an empty parent and two methods.
QString writeSmallGold(const QTemporaryDir &dir)
{
    const JClasses root = protoData<JClasses>("gold/small.textproto");
    const QString path = dir.filePath("small.javagold");
    ProtoIO::write(&root, path);
    return path;
}

} // namespace

TEST(SigConverter, GivesEveryConcreteMethodACodeBodyTheReaderAccepts)
{
    const SigConverter::Result result = SigConverter::convert(signatureFile());
    ASSERT_EQ(result.error, "");
    EXPECT_EQ(result.className, "p/C");

    const auto bytes = reinterpret_cast<const char *>(result.classFile.data());
    const std::unique_ptr<JavaClassFile> file(
        JavaClassFile::create(bytes, int(result.classFile.size())));
    // No warning either: the later release's attribute is dropped.
    EXPECT_TRUE(file->checkLog.messages.isEmpty())
        << file->checkLog.messages.join("\n").toStdString();
    EXPECT_EQ(file->major_version, 52);
    QStringList locals;
    for (const method_info *method : file->methods) {
        const Code_attribute *code = file->getMethodCodeAttr(method);
        locals << (code ? QString::number(code->max_locals) : "none");
    }
    // this, long, int, array and double; abstract; native; static without parameters.
    EXPECT_EQ(locals.join(' '), "7 none none 0");
}

TEST(SigConverter, RejectsEveryTruncationAndBadMagic)
{
    const SigConverter::Bytes whole = signatureFile();
    for (std::size_t length = 0; length < whole.size(); ++length) {
        const SigConverter::Result result = SigConverter::convert(
            SigConverter::Bytes(whole.begin(), whole.begin() + long(length)));
        EXPECT_NE(result.error, "") << "length " << length;
        EXPECT_TRUE(result.classFile.empty());
    }
    SigConverter::Bytes jar = whole;
    jar[0] = 'P';
    EXPECT_EQ(SigConverter::convert(jar).error, "not a class file");
}

TEST(GoldDump, PrintsEveryFieldAndTellsAbsentFromEmptyOrFailsOnANonGoldFile)
{
    QTemporaryDir dir;
    Golden::expectEqual("gold/small.golddump.txt", dump(writeSmallGold(dir)));
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
    Golden::expectEqual("gold/small-marked.golddump.txt", dump(path));

    const ProcessRunner::Result unknown
        = goldmark.run({ path, "--signature-polymorphic", "Lp/System;", "invoke" });
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.err.contains("has no method invoke in Lp/System;"));
}
