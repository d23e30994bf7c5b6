#pragma once

#include <QList>
#include <QString>

class Class;
class ClassLoader;
class DepMethod;
class Field;
class Method;
class MemberResolution;

/// Why the JVM would refuse to link a use that the access test found and may reach: the error it
/// throws and its message, without the name of the class that uses it, so that one cause serves
/// every class a finding affects. Each answers an empty text when the use links.
class LinkageErrors
{
public:
    /// A class used as the bits of Linkage say: superclass, interface, instantiated.
    static QString ofClass(const Class &found, quint8 linkage);
    /// A field used by the instructions the bits say, from class from.
    static QString ofField(const Class &from,
                           const Class &referenced,
                           const Class &declaring,
                           const Field &field,
                           quint8 linkage);
    /// The class a method reference names, against the kind of reference; checked before the
    /// method is looked up.
    static QString ofMethodOwner(const Class &referenced, quint8 linkage);
    /// A method called by the instructions the bits say.
    static QString ofMethod(const Class &declaring, const Method &method, quint8 linkage);

    /// What linking a class against its supertypes finds: a final method that it overrides, or
    /// an abstract method that a concrete class leaves without an implementation.
    struct Inherited
    {
        /// The supertype that declares the method.
        const Class *supertype;
        QString error;
    };
    static QList<Inherited>
    ofInheritance(ClassLoader &access, const MemberResolution &resolution, const Class &cls);
};
