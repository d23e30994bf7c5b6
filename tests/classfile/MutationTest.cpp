// Hostile input: real class files, mutated at random from a fixed seed and cut at every length,
// must each end as a parsed file or with an error in the check log, without crashing, hanging,
// leaking or reading out of bounds (the sanitizer build runs these too).

#include "ClassFileTestSupport.h"
#include "support/Files.h"

#include <gtest/gtest.h>

#include <random>

namespace {

QList<QByteArray> fixtureClasses()
{
    QList<QByteArray> classes;
    for (const QString &path : fixtureClassFiles())
        classes << readFile(JCT_FIXTURES_CLASSFILE "/classes/" + path);
    return classes;
}

/// One to three random edits: a flipped bit, any byte, a huge count or length, a cut, or a few
/// bytes inserted or removed.
QByteArray mutate(std::mt19937 &random, QByteArray bytes)
{
    const auto below = [&random](quint32 bound) {
        return std::uniform_int_distribution<quint32>(0, bound - 1)(random);
    };
    for (int edits = 1 + int(below(3)); edits > 0 && !bytes.isEmpty(); --edits) {
        const int at = int(below(quint32(bytes.size())));
        switch (below(6)) {
        case 0:
            bytes[at] = char(bytes.at(at) ^ (1 << below(8)));
            break;
        case 1:
            bytes[at] = char(below(256));
            break;
        case 2:
            bytes[at] = char(0xff);
            if (at + 1 < bytes.size())
                bytes[at + 1] = char(0xf0 | below(16));
            break;
        case 3:
            bytes.truncate(at);
            break;
        case 4:
            bytes.insert(at, QByteArray(1 + int(below(8)), char(below(256))));
            break;
        default:
            bytes.remove(at, 1 + int(below(8)));
            break;
        }
    }
    return bytes;
}

// Every accessor must answer for whatever the reader kept, and the lists must be sets in order.
void exerciseAccessors(const JavaClassFile &classFile)
{
    classFile.getPackage();
    classFile.getParentTypeDescriptor();
    for (const cp_info *entry : classFile.interfaces)
        classFile.getInterfaceTypeDescriptor(entry);
    for (const field_info *field : classFile.fields) {
        classFile.getFieldTypeDescriptor(field);
        classFile.getFieldByName(classFile.getFieldName(field));
    }
    for (const method_info *method : classFile.methods) {
        classFile.getMethodSignature(method).getParameterString();
        classFile.getMethodExceptionsTypeDescriptors(method);
        classFile.getMethodCodeAttr(method);
    }
    for (const CONSTANT_Fieldref_info *ref :
         classFile.getMethodRefInfos() + classFile.getFieldRefInfos()) {
        classFile.getMethodSignature(*ref);
        classFile.getFieldTypeDescriptor(*ref);
        classFile.getFieldName(*ref);
        classFile.getFieldParentClassName(*ref);
    }
    const QList<TypeDescriptor> classes = classFile.getDependentClasses();
    for (int i = 1; i < classes.size(); ++i)
        ASSERT_TRUE(classes.at(i - 1) < classes.at(i));
    const QList<DepMethod> methods = classFile.getDependentMethods();
    for (int i = 1; i < methods.size(); ++i)
        ASSERT_TRUE(methods.at(i - 1) < methods.at(i));
}

/// Whether the log holds an error, after checking that the log and the accessors agree.
bool rejected(const QByteArray &bytes, const std::string &what)
{
    const auto classFile = parse(bytes);
    const FileCheckLog &log = classFile->checkLog;
    bool anyError = false;
    for (const QString &message : log.messages) {
        anyError |= message.startsWith("Error - ");
        EXPECT_TRUE(message.startsWith("Error - ") || message.startsWith("Warning - "))
            << what << ": " << message.toStdString();
    }
    EXPECT_EQ(log.hasErrors, anyError) << what;
    EXPECT_NO_FATAL_FAILURE(exerciseAccessors(*classFile)) << what;
    return log.hasErrors;
}

} // namespace

TEST(ClassFileMutation, ThousandsOfMutantsEndAsParsedFilesOrErrors)
{
    const QList<QByteArray> originals = fixtureClasses();
    ASSERT_FALSE(originals.isEmpty());
    const quint32 seed = 20261206;
    std::mt19937 random(seed);
    int rejectedCount = 0;
    const int mutants = 6000;
    for (int i = 0; i < mutants && !HasFailure(); ++i) {
        const QByteArray mutant = mutate(random, originals.at(i % originals.size()));
        rejectedCount
            += rejected(mutant, "seed " + std::to_string(seed) + ", mutant " + std::to_string(i));
    }
    // The mutations must reach deep enough to be caught, but not all of them break the file.
    EXPECT_GT(rejectedCount, mutants / 4);
    EXPECT_LT(rejectedCount, mutants);
}

TEST(ClassFileMutation, EveryTruncationIsRejected)
{
    for (const QByteArray &whole : fixtureClasses()) {
        for (int length = 0; length < whole.size(); ++length) {
            const auto classFile = parse(whole.left(length));
            ASSERT_TRUE(classFile->checkLog.hasErrors)
                << "accepted at length " << length << " of " << whole.size();
            ASSERT_TRUE(classFile->getDependentClasses().isEmpty());
        }
    }
}
