#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class JavaClassFile;

/// Where a class's code uses one field or method on an object, with the static type of that
/// object as the JVM's verifier infers it: from the stack map frames and the instructions in class
/// files of Java 7 and later, by following every path and joining the types that meet in older
/// ones. Only the verifier's check of protected members needs this, so the code is followed only
/// when that check asks, and only in the methods that use the member.
class ReceiverTypes
{
public:
    /// One instruction that uses the member on an object: getfield, putfield, invokevirtual, or
    /// invokespecial of a constructor on an object that `new` made.
    struct Use
    {
        /// Position of the method in the class file.
        int method = 0;
        quint32 pc = 0;
        quint8 opcode = 0;
        /// The source line, 0 where the code has no line numbers.
        int line = 0;
        /// What the object may be there: internal names of classes (`a/Base`) and descriptors of
        /// arrays, sorted; null is left out.
        QStringList types;
        /// Why the types could not be told: code that the verifier rejects, or too large to
        /// follow. Empty when they could.
        QString undecided;
    };

    /// Whether a class, by internal name, is the class whose code is followed or a subclass of it.
    using IsSubclass = std::function<bool(const QString &)>;

    /// The code of one class, the types of whose objects are asked of the current class.
    ReceiverTypes(const JavaClassFile &file, IsSubclass isSubclass);
    ~ReceiverTypes();
    ReceiverTypes(const ReceiverTypes &) = delete;
    ReceiverTypes &operator=(const ReceiverTypes &) = delete;

    /// The uses of the field or method that the pool names with this owner (a class descriptor,
    /// `La/Base;`), name and descriptor, in method and code order. Where more types meet at a
    /// join than are kept, those of which isSubclass holds are dropped first: they are the ones
    /// the check lets pass. The work for one class is bounded whatever its code: past the bound,
    /// uses are undecided.
    QList<Use>
    find(const QString &owner, const QString &name, const QString &descriptor, bool isMethod);

private:
    struct Search;
    std::unique_ptr<Search> search;
};
