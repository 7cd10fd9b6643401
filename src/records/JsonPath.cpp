#include "JsonPath.h"

QString JsonPath::toString() const
{
    QString out;
    appendTo(out);
    return out;
}

void JsonPath::appendTo(QString &out) const
{
    if (!m_parent) {
        if (m_root)
            out += *m_root;
        return;
    }
    m_parent->appendTo(out);
    if (m_index >= 0) {
        out += u'[' + QString::number(m_index) + u']';
        return;
    }
    if (!out.isEmpty())
        out += u'.';
    out += m_key.toString();
}
