package java.awt;

/** VIOLATION: the field bottom is a long instead of an int. */
public class Insets implements Cloneable, java.io.Serializable {
    private static final long serialVersionUID = 1L;

    public int top;
    public int left;
    public long bottom;
    public int right;

    public Insets(int top, int left, int bottom, int right) {
        set(top, left, bottom, right);
    }

    public void set(int top, int left, int bottom, int right) {
        this.top = top;
        this.left = left;
        this.bottom = bottom;
        this.right = right;
    }

    public boolean equals(Object obj) {
        if (!(obj instanceof Insets)) {
            return false;
        }
        Insets insets = (Insets) obj;
        return top == insets.top && left == insets.left && bottom == insets.bottom
                && right == insets.right;
    }

    public int hashCode() {
        return (int) (top + 31 * (left + 31 * (bottom + 31 * right)));
    }

    public String toString() {
        return getClass().getName() + "[top=" + top + ",left=" + left + ",bottom=" + bottom
                + ",right=" + right + "]";
    }

    public Object clone() {
        try {
            return super.clone();
        } catch (CloneNotSupportedException e) {
            throw new InternalError(e);
        }
    }
}
