#pragma once

#include <QList>
#include <QSet>
#include <QString>

/// The inputs of a run that were not read: a classpath entry that is missing, unreadable, not
/// what its name says or holds no class, a gold file that does not parse, a test cut short by an
/// exception. Input that was never read must not pass for a conforming component, so a test run
/// collects them and reports each as a failed result.
///
/// Any code on the worker thread records what it could not read, with a reason a user can act
/// on, by one call:
///
///     UnreadInputs::record(path, "not found in /some/dir");
///
/// The recipe of a test run makes one UnreadInputs on its worker thread before the tests start
/// and reads getInputs() when they are over. Records made while no collector lives on the
/// calling thread (listing a classpath, building a gold file) are dropped; collectors nest, the
/// innermost receives the records.
class UnreadInputs
{
public:
    struct Input
    {
        /// The path as given on a classpath or found below a directory entry; for an interrupted
        /// test, the test's name.
        QString entry;
        /// Why it was not read, in words that say what to change.
        QString reason;
        /// A test that an exception ended early, rather than a file that could not be read.
        bool interruption = false;
    };

    /// Becomes the collector of the calling thread until destroyed.
    UnreadInputs();
    ~UnreadInputs();
    UnreadInputs(const UnreadInputs &) = delete;
    UnreadInputs &operator=(const UnreadInputs &) = delete;

    /// Records an input the calling thread could not read. A run opens the same classpath
    /// several times, so an entry recorded again with the same reason is kept once. Says whether
    /// the record is news: false for a repeat, so that the caller can warn once per run.
    static bool record(const QString &entry, const QString &reason);
    /// Records that a test (such as "Interface test") was interrupted by an exception, so that
    /// whatever it had still to read was never read.
    static void recordInterruption(const QString &test, const QString &reason);
    /// Records entries of an input that are left unchecked on purpose, because no Java 8 runtime
    /// would ever load them (a multi-release jar's classes for later releases): no failure, but
    /// said, so that nothing is dropped silently. Kept once per entry and reason.
    static void recordUnchecked(const QString &entry, int count, const QString &reason);
    /// Whether a message about an input that could not be read is news to this run (always
    /// outside a run): each loader chain of a run opens the input again, and the reader's
    /// message is said once.
    static bool isNewMessage(const QString &message);
    /// Whether a collector lives on the calling thread: a check that costs something can be left
    /// out when nobody would hear of its outcome.
    static bool isCollecting();

    struct Unchecked
    {
        QString entry;
        int count = 0;
        QString reason;
    };

    /// What was recorded, in the order it was first recorded.
    const QList<Input> &getInputs() const { return inputs; }
    const QList<Unchecked> &getUnchecked() const { return unchecked; }

private:
    static bool add(const Input &input);
    /// Whether the key is new to the current collector, which then remembers it.
    static bool isNew(const QString &key);

    QList<Input> inputs;
    QList<Unchecked> unchecked;
    QSet<QString> seen; // entry and reason of every record, to keep repeats out
    UnreadInputs *outer; // the collector this one hides while it lives; not owned
};
