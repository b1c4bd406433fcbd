#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class WebPage;
class WebRegion;

// A control of a page form. Controls are members of their page class and register
// with the page (or a region of it) when constructed; the page renders them in that
// order. Names are the component names ("IWButton1") and are unique in a page.
class WebControl {
public:
    using Handler = std::function<void()>;

    WebControl(WebPage &page, QString name, WebRegion *region = nullptr);
    virtual ~WebControl();
    WebControl(const WebControl &) = delete;
    WebControl &operator=(const WebControl &) = delete;

    const QString &name() const { return name_; }
    WebPage &page() { return page_; }

    bool visible = true;
    QString hint;      // shown by the browser as the control's tool tip
    QString cssClass;  // extra class names for the page's own style
    // What a screen reader says for the control: a field's label, an icon's meaning, or
    // a caption spelt with spaces ("В х і д ...") as the words it is.
    QString accessibleName;

    // Events: a click posts the form and answers with the page again; a change posts
    // the form. An asynchronous click (a change, for check boxes and lists) does not
    // reload the page: the controls the handler changed are replaced in the browser.
    Handler onClick;
    Handler onAsyncClick;
    Handler onChange;

    // The control's HTML: one element whose id is the control's name. A hidden
    // control is an empty hidden element of that id, so that an update can show it.
    virtual QString render() const = 0;
    // The HTML without the controls inside (a region's frame); a page update compares
    // these to tell whether a container changed itself or only what it holds.
    virtual QString renderFrame() const { return render(); }
    virtual const std::vector<WebControl *> *children() const { return nullptr; }
    // The value the browser posted for this control (controls that post one).
    virtual void readValue(const QString &) {}
    virtual bool postsValue() const { return false; }
    // Whether a posted value is one the page could have sent: a field's text no longer
    // than its maxlength, as a browser counts it (a line break is one character).
    virtual bool fits(const QString &) const { return true; }
    // Shown on the page: visible, and so is the region holding it.
    bool shown() const;
    // Events from the browser reach only controls the page shows.
    virtual bool acceptsEvents() const { return shown(); }

protected:
    // Id, classes, tool tip, the asynchronous event; and the accessible name as aria-label
    // unless `named` is false (text that carries its name itself).
    QString commonAttributes(const QString &baseClass, bool named = true) const;
    QString placeholder() const;

private:
    WebPage &page_;
    QString name_;
    WebRegion *region_;
};

// A region groups controls into one block of the page (a panel, a side bar).
class WebRegion : public WebControl {
public:
    using WebControl::WebControl;
    QString render() const override { return renderWith(true); }
    QString renderFrame() const override { return renderWith(false); }
    const std::vector<WebControl *> *children() const override { return &children_; }
    void add(WebControl *control) { children_.push_back(control); }

protected:
    virtual QString renderWith(bool withChildren) const;
    std::vector<WebControl *> children_;
};

// A tab control: its children (regions made with this control as their region) are
// its pages, in tab order, titled by `titles`. Every page is on the form, so what the
// client typed on one page posts with an event on another; switching tabs happens in
// the browser and the active page posts with the next event.
class WebTabControl : public WebRegion {
public:
    using WebRegion::WebRegion;
    QStringList titles;
    int activePage = 0;
    void readValue(const QString &value) override;
    bool postsValue() const override { return shown(); }

protected:
    QString renderWith(bool withChildren) const override;
};

// One line of text; with an asynchronous click it is a link that does not reload.
// With an accessible name the caption shows as it is and is read as the name.
class WebLabel : public WebControl {
public:
    using WebControl::WebControl;
    QString caption;
    QStringList telephones;  // shown as tel: links where they stand in the caption
    // The name of the field this label names: a tap on it reaches the field, and screen
    // readers call the field by it.
    QString forControl;
    QString render() const override;
};

// A block of text; line breaks are kept.
class WebText : public WebControl {
public:
    using WebControl::WebControl;
    QString lines;
    QStringList telephones;  // shown as tel: links where they stand in the text
    // A log that grows at its end: screen readers announce what is added, and the
    // browser keeps its newest line in view.
    bool log = false;
    QString render() const override;
};

// A one-line field. Text posted back is cut to maxLength. A disabled field shows
// its text and posts nothing.
class WebEdit : public WebControl {
public:
    using WebControl::WebControl;
    QString text;
    int maxLength = 100;
    bool password = false;
    bool enabled = true;
    // What the browser may fill in ("current-password", "username", "tel"; "off": nothing)
    // and which keyboard a phone opens ("tel": the digits).
    QString autocomplete = QStringLiteral("off");
    QString inputMode;
    // The button clicked when Enter is pressed in this field; none submits nothing.
    QString enterClicks;
    QString render() const override;
    void readValue(const QString &value) override;
    bool postsValue() const override { return shown() && enabled; }
    bool fits(const QString &value) const override;
};

// A text box of several lines; read-only boxes show text and post nothing.
class WebMemo : public WebControl {
public:
    using WebControl::WebControl;
    QString text;
    bool readOnly = true;
    bool borderless = false;
    int maxLength = 4000;
    QString render() const override;
    void readValue(const QString &value) override;
    bool postsValue() const override { return shown() && !readOnly; }
    bool fits(const QString &value) const override;
};

class WebButton : public WebControl {
public:
    using WebControl::WebControl;
    QString caption;
    bool enabled = true;
    QString render() const override;
    bool acceptsEvents() const override { return enabled && shown(); }
};

// A button showing a picture from the files folder.
class WebImageButton : public WebControl {
public:
    using WebControl::WebControl;
    QString imageUrl;
    QString alt;
    bool enabled = true;
    QString render() const override;
    bool acceptsEvents() const override { return enabled && shown(); }
};

// A link that runs its click handler (the "Вихід" links).
class WebLink : public WebControl {
public:
    using WebControl::WebControl;
    QString caption;
    QString render() const override;
};

// A picture at an address; a button when it has a click handler (an asynchronous one
// too), which its accessible name names.
class WebImage : public WebControl {
public:
    using WebControl::WebControl;
    QString url;
    QString statusText;  // shown as the picture's tool tip
    int width = 0, height = 0;
    QString render() const override;
};

// A disabled box shows its state and neither posts nor takes events.
class WebCheckBox : public WebControl {
public:
    using WebControl::WebControl;
    QString caption;
    bool checked = false;
    bool enabled = true;
    QString render() const override;
    void readValue(const QString &value) override { checked = value == QLatin1String("on"); }
    bool postsValue() const override { return shown() && enabled; }
    bool acceptsEvents() const override { return enabled && shown(); }
};

// A drop-down list (rows == 1) or a list box (rows > 1); itemIndex -1 for none.
class WebComboBox : public WebControl {
public:
    using WebControl::WebControl;
    QStringList items;
    int itemIndex = -1;
    int rows = 1;
    QString currentText() const { return itemIndex >= 0 && itemIndex < items.size() ? items[itemIndex] : QString(); }
    // Sorts the items as text, the way people read a list (Ukrainian alphabet, case
    // ignored); numbered items (house numbers) with their digits read as numbers, so 2
    // comes before 12 and 25А after 25. The selection is dropped.
    enum class Order { Text, Numbered };
    void sortItems(Order order = Order::Text);
    QString render() const override;
    void readValue(const QString &value) override;
    bool postsValue() const override { return shown(); }
};

// A table of texts; a click on a row selects it and runs the click handler.
class WebGrid : public WebControl {
public:
    using WebControl::WebControl;
    QString caption;
    QStringList columns;
    std::vector<QStringList> rows;
    int selectedRow = -1;
    QString render() const override;
    void readValue(const QString &value) override;
    bool postsValue() const override { return shown(); }
};

// Runs its handler every `interval` milliseconds while the page is shown, as a
// request of its session.
class WebTimer : public WebControl {
public:
    using WebControl::WebControl;
    int interval = 0;
    bool enabled = true;
    Handler onTimer;
    QString render() const override;
};
