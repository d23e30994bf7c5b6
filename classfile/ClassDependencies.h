#pragma once

#include "classfile/DepField.h"
#include "classfile/DepMethod.h"
#include "classfile/DependencyOrigins.h"
#include "classfile/TypeDescriptor.h"

#include <QList>
#include <QMap>

class JavaClassFile;

/// What one class file depends on, as the dependency scan collects it: the classes, fields and
/// methods, each with how the class links it and where it uses it.
class ClassDependencies
{
public:
    /// Where the class uses one dependency, as the scan meets the uses: the first few distinct
    /// places in a few bytes each and a count of the others. Texts are made only when a finding
    /// asks (origins): most dependencies are found where they should be.
    struct Uses
    {
        struct Use
        {
            DependencyOrigins::Place place;
            /// The method's or field's position in the class; 0 for places without a member.
            quint16 member;
            /// The source line in code; 0 elsewhere and where the code has no line numbers.
            quint16 line;
        };
        Use kept[DependencyOrigins::maxKept] = {};
        quint8 keptCount = 0;
        /// Linkage bits of every use, the first few kept or not.
        quint8 linkage = 0;
        int more = 0;
    };
    /// A class that the lists hold (listed) or that is only used as the element of an array type
    /// or as the owner of a field of the class itself. How the key was met decides which of two
    /// keys printed alike stays: one met in code before one of the declarations or the pool.
    struct ClassUses
    {
        enum KeySource : quint8 { NOT_LISTED, DECLARED_OR_POOL, CODE };
        Uses uses;
        KeySource source = NOT_LISTED;
    };

    /// Sorted and free of duplicates.
    QList<TypeDescriptor> getClasses() const;
    QList<DepField> getFields() const { return fields.keys(); }
    QList<DepMethod> getMethods() const { return methods.keys(); }

    /// Where `file`, the class file scanned, uses a dependency; empty for what is none of it.
    DependencyOrigins getOrigins(const JavaClassFile &file, const TypeDescriptor &type) const;
    DependencyOrigins getOrigins(const JavaClassFile &file, const DepField &field) const;
    DependencyOrigins getOrigins(const JavaClassFile &file, const DepMethod &method) const;
    /// Bits of Linkage; 0 for what is no dependency.
    quint8 getLinkage(const TypeDescriptor &type) const;
    quint8 getLinkage(const DepField &field) const;
    quint8 getLinkage(const DepMethod &method) const;

    QMap<TypeDescriptor, ClassUses> classes;
    QMap<DepField, Uses> fields;
    QMap<DepMethod, Uses> methods;
};
