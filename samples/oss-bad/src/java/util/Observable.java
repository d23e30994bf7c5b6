package java.util;

/** VIOLATION: the parent is java.util.Random instead of java.lang.Object; the members are right. */
public class Observable extends Random {
    private static final long serialVersionUID = 1L;

    private boolean changed;
    private final Vector<Observer> observers = new Vector<Observer>();

    public Observable() {
    }

    public synchronized void addObserver(Observer o) {
        if (!observers.contains(o)) {
            observers.addElement(o);
        }
    }

    public synchronized void deleteObserver(Observer o) {
        observers.removeElement(o);
    }

    public void notifyObservers() {
        notifyObservers(null);
    }

    public void notifyObservers(Object arg) {
        Object[] copy;
        synchronized (this) {
            if (!changed) {
                return;
            }
            copy = observers.toArray();
            clearChanged();
        }
        for (int i = copy.length - 1; i >= 0; i--) {
            ((Observer) copy[i]).update(this, arg);
        }
    }

    public synchronized void deleteObservers() {
        observers.removeAllElements();
    }

    protected synchronized void setChanged() {
        changed = true;
    }

    protected synchronized void clearChanged() {
        changed = false;
    }

    public synchronized boolean hasChanged() {
        return changed;
    }

    public synchronized int countObservers() {
        return observers.size();
    }
}
