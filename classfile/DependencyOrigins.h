#pragma once

#include <QList>
#include <QString>

/// Where one class file refers to one class, field or method: the first few places, each once,
/// and how many further uses there are. A reference used all over a class would otherwise make
/// every report of it as long as the class.
class DependencyOrigins
{
public:
    enum Place : unsigned char {
        P_CODE,
        P_SUPERCLASS,
        P_INTERFACE,
        P_FIELD_TYPE,
        P_METHOD_SIGNATURE,
        P_THROWS,
        /// Only the constant pool names it: no code or declaration uses it.
        P_CONSTANT_POOL
    };

    struct Origin
    {
        Place place = P_CODE;
        /// The method, name and descriptor ("get(I)Ljava/lang/Object;"), for code, signatures
        /// and throws clauses; the field's name for a field type; empty otherwise.
        QString member;
        /// The source line of code, 0 where the class file has no line numbers.
        int line = 0;

        bool operator==(const Origin &other) const
        {
            return place == other.place && line == other.line && member == other.member;
        }
    };

    /// Whether a place of this kind names a method: code, a signature or a throws clause.
    static bool namesMethod(Place place)
    {
        return place == P_CODE || place == P_METHOD_SIGNATURE || place == P_THROWS;
    }

    /// Places kept at most; further uses are only counted.
    static constexpr int maxKept = 4;

    /// Keeps a new place while there is room and counts it otherwise; a place already kept
    /// changes nothing. The constant pool is kept only as long as nothing else is.
    void add(const Origin &origin);

    /// Counts uses beyond the kept places that were met elsewhere.
    void addMore(int count) { more += count; }

    const QList<Origin> &getKept() const { return kept; }
    /// Uses beyond the kept places.
    int getMore() const { return more; }
    bool isEmpty() const { return kept.isEmpty(); }

    /// "code", "superclass", "interface", "field type", "method signature", "throws clause",
    /// "constant pool".
    static QString placeText(Place place);
    /// The place a placeText() names; the constant pool for any other text.
    static Place placeOf(const QString &text);
    /// The place as a reader of the Java source names it: "casBase(long, long), line 155",
    /// "field type of count", "superclass".
    static QString describe(const Origin &origin);

private:
    QList<Origin> kept;
    int more = 0;
};
