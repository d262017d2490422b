#include "platform/foundation/ClassRegistry.h"

#include <gtest/gtest.h>

using platform::ClassRegistry;

class RegistryFeature : public ZQObject {
    Q_OBJECT
};
class RegistryLabelledFeature : public RegistryFeature {
    Q_OBJECT
};
class RegistryUnrelated : public ZQObject {
    Q_OBJECT
};

TEST(ClassRegistry, MakesRegisteredClassesByNameAndHonoursSubstitutes)
{
    ClassRegistry::registerClass<RegistryFeature>();
    ClassRegistry::registerClass<RegistryUnrelated>();
    EXPECT_EQ(ClassRegistry::metaObjectForName("RegistryFeature"), &RegistryFeature::staticMetaObject);
    EXPECT_EQ(ClassRegistry::metaObjectForName("RegistryNothing"), nullptr);
    EXPECT_EQ(ClassRegistry::create("RegistryNothing"), nullptr);
    EXPECT_EQ(ClassRegistry::create("RegistryFeature")->className(), "RegistryFeature");
    EXPECT_EQ(ClassRegistry::create("ZQObject")->className(), "ZQObject") << "registerFoundationClasses ran";

    // Until the substitute is registered, and when it is no subclass, the class itself is made.
    ClassRegistry::setSubstituteClass("RegistryFeature", "RegistryLabelledFeature");
    EXPECT_EQ(ClassRegistry::create("RegistryFeature")->className(), "RegistryFeature");
    ClassRegistry::registerClass<RegistryLabelledFeature>();
    EXPECT_EQ(ClassRegistry::create("RegistryFeature")->className(), "RegistryLabelledFeature");
    EXPECT_EQ(ClassRegistry::metaObjectForName("RegistryFeature"), &RegistryFeature::staticMetaObject);
    ClassRegistry::setSubstituteClass("RegistryFeature", "RegistryUnrelated");
    EXPECT_EQ(ClassRegistry::create("RegistryFeature")->className(), "RegistryFeature");
    ClassRegistry::setSubstituteClass("RegistryFeature", {});
    EXPECT_EQ(ClassRegistry::create("RegistryFeature")->className(), "RegistryFeature");
}

#include "ClassRegistryTest.moc"
