#include "web/framework/controls.h"

#include "web/framework/html_text.h"
#include "web/framework/web_page.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>

using html::escape;

WebControl::WebControl(WebPage &page, QString name, WebRegion *region)
    : page_(page), name_(std::move(name)), region_(region)
{
    page_.registerControl(this, region == nullptr);
    if (region)
        region->add(this);
}

WebControl::~WebControl() = default;

bool WebControl::shown() const { return visible && (region_ == nullptr || region_->shown()); }

QString WebControl::commonAttributes(const QString &baseClass, bool named) const
{
    QString attributes = QStringLiteral(" id=\"%1\" class=\"%2\"").arg(escape(name_), escape((baseClass + u' ' + cssClass).trimmed()));
    if (!hint.isEmpty())
        attributes += QStringLiteral(" title=\"%1\"").arg(escape(hint));
    if (named && !accessibleName.isEmpty())
        attributes += QStringLiteral(" aria-label=\"%1\"").arg(escape(accessibleName));
    if (onAsyncClick)
        attributes += QStringLiteral(" data-async=\"%1\"").arg(escape(name_));
    return attributes;
}

QString WebControl::placeholder() const { return QStringLiteral("<span id=\"%1\" hidden></span>\n").arg(escape(name_)); }

QString WebRegion::renderWith(bool withChildren) const
{
    if (!visible)
        return placeholder();
    QString html = QStringLiteral("<div%1>").arg(commonAttributes(QStringLiteral("kv-region")));
    if (withChildren)
        for (const WebControl *child : children_)
            html += child->render();
    return html + QStringLiteral("</div>\n");
}

QString WebTabControl::renderWith(bool withChildren) const
{
    if (!visible)
        return placeholder();
    QString html = QStringLiteral("<div%1><input type=\"hidden\" name=\"%2\" value=\"%3\"><div class=\"kv-tab-heads\">")
                       .arg(commonAttributes(QStringLiteral("kv-tabs")), escape(name()), QString::number(activePage));
    for (int i = 0; i < int(children_.size()); ++i)
        html += QStringLiteral("<button type=\"button\" class=\"kv-tab-head%1\" data-tab=\"%2\">%3</button>")
                    .arg(i == activePage ? QStringLiteral(" kv-tab-active") : QString(), QString::number(i),
                         escape(titles.value(i)));
    html += QStringLiteral("</div>\n");
    for (int i = 0; i < int(children_.size()); ++i)
        html += QStringLiteral("<div class=\"kv-tab-page\" data-page=\"%1\"%2>%3</div>\n")
                    .arg(QString::number(i), i == activePage ? QString() : QStringLiteral(" hidden"),
                         withChildren ? children_[size_t(i)]->render() : QString());
    return html + QStringLiteral("</div>\n");
}

void WebTabControl::readValue(const QString &value)
{
    bool ok = false;
    const int page = value.toInt(&ok);
    if (ok && page >= 0 && page < int(children_.size()))
        activePage = page;
}

QString WebLabel::render() const
{
    if (!visible)
        return placeholder();
    if (onAsyncClick)
        return QStringLiteral("<a href=\"#\"%1>%2</a>\n").arg(commonAttributes(QStringLiteral("kv-label")), escape(caption));
    QString content = html::linkTelephones(escape(caption), telephones);
    // Screen readers pass over an aria-label on plain text: the words go beside the caption,
    // for them alone.
    if (!accessibleName.isEmpty())
        content = QStringLiteral("<span aria-hidden=\"true\">%1</span><span class=\"kv-sr\">%2</span>")
                      .arg(content, escape(accessibleName));
    const QString attributes = commonAttributes(QStringLiteral("kv-label"), false);
    if (forControl.isEmpty())
        return QStringLiteral("<span%1>%2</span>\n").arg(attributes, content);
    return QStringLiteral("<label for=\"%1\"%2>%3</label>\n").arg(escape(forControl), attributes, content);
}

QString WebText::render() const
{
    if (!visible)
        return placeholder();
    const QString attributes = commonAttributes(QStringLiteral("kv-text"))
        + (log ? QStringLiteral(" role=\"log\" aria-live=\"polite\" data-log") : QString());
    return QStringLiteral("<div%1>%2</div>\n").arg(attributes, html::linkTelephones(html::escapeLines(lines), telephones));
}

QString WebEdit::render() const
{
    if (!visible)
        return placeholder();
    QString extra;
    if (!enterClicks.isEmpty())
        extra = QStringLiteral(" data-enter=\"%1\"").arg(escape(enterClicks));
    if (!enabled)
        extra += QStringLiteral(" disabled");
    if (!inputMode.isEmpty())
        extra += QStringLiteral(" inputmode=\"%1\"").arg(escape(inputMode));
    return QStringLiteral("<input type=\"%1\" name=\"%2\" value=\"%3\" maxlength=\"%4\" autocomplete=\"%5\"%6%7>\n")
        .arg(password ? QStringLiteral("password") : QStringLiteral("text"), escape(name()), escape(text),
             QString::number(maxLength), escape(autocomplete), commonAttributes(QStringLiteral("kv-edit")), extra);
}

namespace {

// The length a browser gives a field's value when it checks maxlength: a line break, which
// the form posts as CR LF, counts once.
qsizetype browserLength(const QString &value) { return value.size() - value.count(QStringLiteral("\r\n")); }

}  // namespace

void WebEdit::readValue(const QString &value) { text = value.left(maxLength); }
bool WebEdit::fits(const QString &value) const { return browserLength(value) <= maxLength; }

QString WebMemo::render() const
{
    if (!visible)
        return placeholder();
    const QString base = borderless ? QStringLiteral("kv-memo kv-borderless") : QStringLiteral("kv-memo");
    return QStringLiteral("<textarea name=\"%1\"%2%3>%4</textarea>\n")
        .arg(escape(name()), commonAttributes(base),
             readOnly ? QStringLiteral(" readonly") : QStringLiteral(" maxlength=\"%1\"").arg(maxLength), escape(text));
}

void WebMemo::readValue(const QString &value) { text = value.left(maxLength); }
bool WebMemo::fits(const QString &value) const { return browserLength(value) <= maxLength; }

QString WebButton::render() const
{
    if (!visible)
        return placeholder();
    return QStringLiteral("<button type=\"submit\" name=\"__click\" value=\"%1\"%2%3>%4</button>\n")
        .arg(escape(name()), commonAttributes(QStringLiteral("kv-button")),
             enabled ? QString() : QStringLiteral(" disabled"), escape(caption));
}

QString WebImageButton::render() const
{
    if (!visible)
        return placeholder();
    return QStringLiteral("<button type=\"submit\" name=\"__click\" value=\"%1\"%2%5><img src=\"%3\" alt=\"%4\"></button>\n")
        .arg(escape(name()), commonAttributes(QStringLiteral("kv-image-button")),
             escape(html::safeUrl(imageUrl)), escape(alt.isEmpty() ? hint : alt),
             enabled ? QString() : QStringLiteral(" disabled"));
}

QString WebLink::render() const
{
    if (!visible)
        return placeholder();
    return QStringLiteral("<button type=\"submit\" name=\"__click\" value=\"%1\"%2>%3</button>\n")
        .arg(escape(name()), commonAttributes(QStringLiteral("kv-link")), escape(caption));
}

QString WebImage::render() const
{
    if (!visible)
        return placeholder();
    QString size;
    if (width > 0 && height > 0)
        size = QStringLiteral(" width=\"%1\" height=\"%2\"").arg(width).arg(height);
    QString title = statusText.isEmpty() ? QString() : QStringLiteral(" title=\"%1\"").arg(escape(statusText));
    const QString image = QStringLiteral("<img src=\"%1\" alt=\"\"%2%3 referrerpolicy=\"no-referrer\">").arg(escape(html::safeUrl(url)), size, title);
    // A picture that is clicked is a button, so that the keyboard reaches it too.
    if (onClick)
        return QStringLiteral("<button type=\"submit\" name=\"__click\" value=\"%1\"%2>%3</button>\n")
            .arg(escape(name()), commonAttributes(QStringLiteral("kv-image kv-image-button")), image);
    if (onAsyncClick)
        return QStringLiteral("<button type=\"button\"%1>%2</button>\n")
            .arg(commonAttributes(QStringLiteral("kv-image kv-image-button")), image);
    return QStringLiteral("<span%1>%2</span>\n").arg(commonAttributes(QStringLiteral("kv-image")), image);
}

QString WebCheckBox::render() const
{
    if (!visible)
        return placeholder();
    QString change = onChange ? QStringLiteral(" data-change=\"%1\"").arg(escape(name())) : QString();
    // An unchecked box posts nothing: the hidden field before it says "off".
    // A disabled box posts nothing at all, so its hidden "off" goes too.
    const QString off = enabled ? QStringLiteral("<input type=\"hidden\" name=\"%1\" value=\"off\">").arg(escape(name()))
                                : QString();
    return QStringLiteral("<span%1>%6<label><input type=\"checkbox\" name=\"%2\" value=\"on\"%3%4%7> %5</label></span>\n")
        .arg(commonAttributes(QStringLiteral("kv-check")), escape(name()),
             checked ? QStringLiteral(" checked") : QString(), change, escape(caption), off,
             enabled ? QString() : QStringLiteral(" disabled"));
}

QString WebComboBox::render() const
{
    if (!visible)
        return placeholder();
    QString html = QStringLiteral("<select name=\"%1\"%2%3%4>")
                       .arg(escape(name()), commonAttributes(QStringLiteral("kv-combo")),
                            rows > 1 ? QStringLiteral(" size=\"%1\"").arg(rows) : QString(),
                            onChange ? QStringLiteral(" data-change=\"%1\"").arg(escape(name())) : QString());
    if (itemIndex < 0 && rows == 1)
        html += QStringLiteral("<option value=\"-1\" selected></option>");
    for (int i = 0; i < items.size(); ++i)
        html += QStringLiteral("<option value=\"%1\"%2>%3</option>")
                    .arg(QString::number(i), i == itemIndex ? QStringLiteral(" selected") : QString(),
                         escape(items[i]));
    return html + QStringLiteral("</select>\n");
}

void WebComboBox::sortItems(Order order)
{
    // QCollator is not shared between threads: each request thread keeps its own.
    const auto make = [](bool numbered) {
        QCollator c{QLocale(QLocale::Ukrainian, QLocale::Ukraine)};
        c.setCaseSensitivity(Qt::CaseInsensitive);
        c.setNumericMode(numbered);
        return c;
    };
    thread_local const QCollator text = make(false);
    thread_local const QCollator numbered = make(true);
    const QCollator &collator = order == Order::Numbered ? numbered : text;
    std::stable_sort(items.begin(), items.end(),
                     [&collator](const QString &a, const QString &b) { return collator.compare(a, b) < 0; });
    itemIndex = -1;
}

void WebComboBox::readValue(const QString &value)
{
    bool ok = false;
    const int index = value.toInt(&ok);
    itemIndex = ok && index >= 0 && index < items.size() ? index : -1;
}

QString WebGrid::render() const
{
    if (!visible)
        return placeholder();
    // The table scrolls inside its box on a narrow screen: the keyboard reaches the box too.
    QString box = commonAttributes(QStringLiteral("kv-grid")) + QStringLiteral(" tabindex=\"0\"");
    if (!caption.isEmpty())
        box += QStringLiteral(" role=\"region\" aria-label=\"%1\"").arg(escape(caption));
    QString html = QStringLiteral("<div%1><input type=\"hidden\" name=\"%2\" value=\"%3\"><table>")
                       .arg(box, escape(name()), QString::number(selectedRow));
    if (!caption.isEmpty())
        html += QStringLiteral("<caption>%1</caption>").arg(escape(caption));
    html += QStringLiteral("<thead><tr>");
    for (const QString &column : columns)
        html += QStringLiteral("<th>%1</th>").arg(escape(column));
    html += QStringLiteral("</tr></thead><tbody>");
    for (int r = 0; r < int(rows.size()); ++r) {
        html += r == selectedRow ? QStringLiteral("<tr class=\"kv-selected\"") : QStringLiteral("<tr");
        if (onClick)
            html += QStringLiteral(" data-row=\"%1\"").arg(r);
        html += u'>';
        for (const QString &cell : rows[size_t(r)])
            html += QStringLiteral("<td>%1</td>").arg(escape(cell));
        html += QStringLiteral("</tr>");
    }
    return html + QStringLiteral("</tbody></table></div>\n");
}

void WebGrid::readValue(const QString &value)
{
    bool ok = false;
    const int row = value.toInt(&ok);
    selectedRow = ok && row >= 0 && row < int(rows.size()) ? row : -1;
}

QString WebTimer::render() const
{
    if (!enabled || interval <= 0 || !onTimer)
        return placeholder();
    return QStringLiteral("<span id=\"%1\" hidden data-timer=\"%1\" data-interval=\"%2\"></span>\n")
        .arg(escape(name()), QString::number(interval));
}
