#pragma once

#include <QStringList>

#include <memory>

class ClassDependencies;
class JavaClassFile;

/// The dependency scan of a read class file, kept apart from the reader: it visits the class's
/// declarations, the references of its constant pool and the instructions of its code.
namespace DependencyScan {

/// The problems of the references and the code that make the class unusable, in order.
QStringList check(const JavaClassFile &file);
/// The lists of what the class depends on, with how and where it uses each. The class file must
/// have been read without error and still hold its code.
std::unique_ptr<ClassDependencies> collect(const JavaClassFile &file);

} // namespace DependencyScan
