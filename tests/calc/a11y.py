"""Finds the office's windows and their controls through the accessibility
API, as a person's assistive tool would, to set texts and press buttons."""
import uno

from office import wait_for


def role(name):
    return uno.getConstantByName("com.sun.star.accessibility.AccessibleRole." + name)


def children(context):
    for i in range(context.getAccessibleChildCount()):
        child = context.getAccessibleChild(i)
        if child is None:
            continue
        # Some children (a grid's cells) are their own context.
        yield child.getAccessibleContext() if hasattr(child, "getAccessibleContext") else child


def walk(context):
    """The context and everything inside it, except a table's cells."""
    yield context
    if context.getAccessibleRole() == role("TABLE"):
        return
    for child in children(context):
        yield from walk(child)


def top_windows(office):
    toolkit = office.create("com.sun.star.awt.Toolkit")
    for i in range(toolkit.getTopWindowCount()):
        window = toolkit.getTopWindow(i)
        if window is not None:
            yield window


def find_window(office, title, timeout=20):
    """The visible top window whose title is `title`, with its accessible context."""
    def look():
        for window in top_windows(office):
            try:
                context = window.getAccessibleContext()
                if context.getAccessibleName() == title and window.isVisible():
                    return window, context
            except Exception:
                continue
        return None
    return wait_for(look, timeout=timeout, what="window " + title)


def window_gone(office, title):
    for window in top_windows(office):
        try:
            if window.getAccessibleContext().getAccessibleName() == title and window.isVisible():
                return False
        except Exception:
            continue
    return True


def controls(context, role_name):
    """The dialog's controls of one role, in the order a keyboard user visits them."""
    wanted = role(role_name)
    return [c for c in children(context) if c.getAccessibleRole() == wanted]


class MultiLineBox:
    """A multi-line text box: a scroll pane whose text is a list of paragraphs."""

    def __init__(self, pane):
        self.pane = pane

    def paragraphs(self):
        """Every part inside the pane that holds text (one per line)."""
        return [c for c in walk(self.pane)
                if c.getAccessibleRole() != role("SCROLL_PANE") and hasattr(c, "getCharacterCount")]

    def getText(self):
        return "\n".join(p.getText() for p in self.paragraphs())

    def shown_text(self):
        """What the box shows. A read-only box has no paragraphs to read, and
        the office names its pane after the text instead."""
        return self.getText() or self.pane.getAccessibleName()

    def click(self, screen):
        """Puts the caret into the box with the mouse, as a person would."""
        where, size = self.pane.getLocationOnScreen(), self.pane.getSize()
        screen.run("xdotool", "mousemove", str(where.X + size.Width // 3),
                   str(where.Y + size.Height // 3), "click", "1")


def text_boxes(context):
    """The dialog's text boxes (password and multi-line boxes included), in tab order."""
    boxes = []
    for c in children(context):
        r = c.getAccessibleRole()
        if r in (role("TEXT"), role("PASSWORD_TEXT")):
            boxes.append(c)
        elif r == role("SCROLL_PANE") and any(
                d.getAccessibleRole() == role("PANEL") for d in children(c)):
            boxes.append(MultiLineBox(c))
    return boxes


def named(context, role_name, name):
    """The control of that role and name: the dialog's own first, then nested ones."""
    wanted = role(role_name)
    for c in children(context):
        if c.getAccessibleRole() == wanted and c.getAccessibleName() == name:
            return c
    for c in walk(context):
        if c.getAccessibleRole() == wanted and c.getAccessibleName() == name:
            return c
    raise AssertionError("no %s named %r" % (role_name, name))


def message_box(office, timeout=20):
    """The text of the message box on screen (title "Pelorin") and the box itself."""
    _, box = find_window(office, "Pelorin", timeout=timeout)
    text = " ".join(c.getAccessibleName() for c in children(box)
                    if c.getAccessibleRole() != role("PUSH_BUTTON"))
    return text, box


def press(context, role_name, name):
    named(context, role_name, name).doAccessibleAction(0)


def set_text(edit, text):
    edit.setText(text)


def text_of(edit):
    return edit.getText()


def focus(edit):
    edit.grabFocus()


def checked(context):
    state = uno.getConstantByName("com.sun.star.accessibility.AccessibleStateType.CHECKED")
    return context.getAccessibleStateSet().contains(state)


def enabled(context):
    state = uno.getConstantByName("com.sun.star.accessibility.AccessibleStateType.ENABLED")
    return context.getAccessibleStateSet().contains(state)
