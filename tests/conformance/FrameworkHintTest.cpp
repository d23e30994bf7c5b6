#include "conformance/FrameworkHint.h"

#include "goldformat/ProtoIO.h"

#include "JavaTypes.pb.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(FrameworkHint, ManyMissingClassesInPackagesNoEntryHoldsPointAtAMissingFramework)
{
    QTemporaryDir dir;
    JClasses gold;
    gold.add_classes()->set_name("Ljava/util/List;");
    ProtoIO::write(&gold, dir.filePath("api.javagold"));
    QDir(dir.path()).mkpath("classes/app");
    QFile(dir.filePath("classes/app/Main.class")).open(QIODevice::WriteOnly);
    const Classpath access(dir.filePath("api.javagold") + ":" + dir.filePath("classes") + ":"
                           + dir.filePath("broken.javagold"));
    const QSet<QString> notRead { dir.filePath("broken.javagold") };

    // Classes missing from packages the classpath does hold are findings of their own.
    const QStringList held { "java.util.Gone", "app.Gone1", "app.Gone2", "app.Gone3", "app.Gone4" };
    EXPECT_FALSE(FrameworkHint(held, access, notRead).applies());

    const QStringList orphans { "org.lib.A",  "org.lib.B", "org.lib.io.C",  "org.util.D",
                                "org.util.E", "Top",       "java.util.Gone" };
    const FrameworkHint hint(orphans, access, notRead);
    EXPECT_TRUE(hint.applies());
    EXPECT_EQ(hint.getText(),
              "A framework classpath may be missing: 6 classes not found lie in 4 packages that no "
              "allowed classpath entry holds (org.lib, org.util, (default package), org.lib.io). "
              "Give the jars that provide them with --frameworkclasspath.");

    EXPECT_FALSE(FrameworkHint(orphans.mid(0, 4), access, notRead).applies())
        << "a few are not many";
}

// Under a profile that leaves an API out, a class missing from one of its packages is no sign of a
// missing framework: adding the API would pass what the profile means to fail.
TEST(FrameworkHint, APackageTheProfileLeavesOutIsSaidToBeExcludedAndNeverSuggested)
{
    QTemporaryDir dir;
    JClasses ee;
    ee.add_classes()->set_name("Ljavax/servlet/Servlet;");
    ProtoIO::write(&ee, dir.filePath("ee.javagold"));
    const FrameworkHint::LeftOut leftOut { Classpath(dir.filePath("ee.javagold")), "Safety Base" };

    const FrameworkHint alone({ "javax.servlet.Filter" }, Classpath(), {}, leftOut);
    EXPECT_TRUE(alone.applies()) << "one class is enough to say why it is missing";
    EXPECT_EQ(alone.getText(),
              "1 class not found lies in 1 package of an API that the Safety Base profile leaves "
              "out (javax.servlet): a component under this profile may not use them, and no "
              "framework classpath should provide them.");

    const QStringList missing { "javax.servlet.A", "javax.servlet.B", "javax.servlet.C",
                                "javax.servlet.D", "javax.servlet.E", "org.lib.A",
                                "org.lib.B",       "org.lib.C",       "org.lib.D",
                                "org.lib.E" };
    const FrameworkHint both(missing, Classpath(), {}, leftOut);
    EXPECT_EQ(both.getText(),
              "A framework classpath may be missing: 5 classes not found lie in 1 package that no "
              "allowed classpath entry holds (org.lib). Give the jars that provide them with "
              "--frameworkclasspath. 5 classes not found lie in 1 package of an API that the "
              "Safety Base profile leaves out (javax.servlet): a component under this profile "
              "may not use them, and no framework classpath should provide them.");
}
