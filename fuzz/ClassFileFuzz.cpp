// Feeds arbitrary bytes to the class-file reader and then asks everything a loader or test would
// ask of the result. The reader must neither crash, read out of bounds, leak nor hang.

#include "classfile/JavaClassFile.h"
#include "classfile/ReceiverTypes.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace {

void askEverything(const JavaClassFile &classFile)
{
    classFile.getPackage();
    classFile.getParentTypeDescriptor();
    for (const cp_info *entry : classFile.interfaces)
        classFile.hasInterface(classFile.getInterfaceTypeDescriptor(entry).getClassName());
    for (const field_info *field : classFile.fields) {
        classFile.getFieldTypeDescriptor(field).toString();
        classFile.getFieldPermission(field);
    }
    for (const method_info *method : classFile.methods) {
        classFile.getMethodSignature(method).getParameterString();
        classFile.getMethodExceptionsTypeDescriptors(method);
        classFile.getMethodCodeAttr(method);
        classFile.getMethodByNameAndDescriptor(classFile.getMethodName(method),
                                               classFile.getMethodDescriptor(method));
    }
    for (const CONSTANT_Fieldref_info *ref :
         classFile.getInterfaceMethodRefInfos() + classFile.getFieldRefInfos()) {
        classFile.getMethodParentClassName(*ref);
        classFile.getMethodSignature(*ref).getParameterString();
        classFile.getFieldTypeDescriptor(*ref).toString();
    }
    // The objects of every member used, the way the protected check asks.
    ReceiverTypes receivers(classFile, [](const QString &name) { return name.size() % 2; });
    for (const CONSTANT_Fieldref_info *ref : classFile.getFieldRefInfos()) {
        receivers.find(classFile.getFieldParentClassName(*ref),
                       classFile.getFieldName(*ref),
                       classFile.getFieldTypeDescriptor(*ref).getDescriptor(),
                       false);
    }
    for (const CONSTANT_Fieldref_info *ref : classFile.getMethodRefInfos()) {
        receivers.find(classFile.getMethodParentClassName(*ref),
                       classFile.getMethodName(*ref),
                       classFile.getMethodSignature(*ref).getDescriptor(),
                       true);
    }
    classFile.getDependentClasses();
    classFile.getDependentFields();
    classFile.getDependentMethods();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > size_t(INT_MAX))
        return 0;
    const std::unique_ptr<JavaClassFile> classFile(
        JavaClassFile::create(reinterpret_cast<const char *>(data), int(size)));
    askEverything(*classFile);
    return 0;
}
