#pragma once

// The values of a SOAP 1.1 message: simple typed values (int, string,
// boolean, or no value at all) and structs that hold named values in order.
// A value writes itself as an element of the message and is rebuilt from an
// element of a reply. Looking up a missing child gives an invalid value, so
// a chain of lookups on a reply never needs a null check.

#include <QString>

#include <memory>
#include <vector>

class QDomElement;
class QXmlStreamWriter;

// An element name with its namespace URI (empty for an unqualified name).
class CSoapQName
{
public:
    CSoapQName() = default;
    CSoapQName(const QString& name, const QString& uri = QString()) : m_name(name), m_uri(uri) {}

    const QString& name() const { return m_name; }
    const QString& uri() const { return m_uri; }

private:
    QString m_name;
    QString m_uri;
};

class CSoapType
{
public:
    virtual ~CSoapType();

    const CSoapQName& name() const { return m_name; }
    void setName(const CSoapQName& name) { m_name = name; }

    // False for the value a failed lookup returns.
    virtual bool isValid() const { return true; }
    // The text of a simple value; empty for a struct.
    virtual QString text() const { return QString(); }
    // The child element of that (unqualified) name; an invalid value when
    // there is none or this is not a struct.
    virtual const CSoapType& child(const QString& name) const;
    const CSoapType& operator[](const QString& name) const { return child(name); }

    // Writes the value as one element. The writer has the envelope's
    // namespaces declared ("xsi", "xsd").
    virtual void write(QXmlStreamWriter& writer) const = 0;

    // The value an element of a reply holds: a struct when it has child
    // elements, a simple value otherwise.
    static std::unique_ptr<CSoapType> fromElement(const QDomElement& element);
    // The invalid value of failed lookups.
    static const CSoapType& invalid();

protected:
    CSoapType() = default;
    explicit CSoapType(const CSoapQName& name) : m_name(name) {}
    void writeStartElement(QXmlStreamWriter& writer) const;

private:
    CSoapQName m_name;
};

class CSoapSimpleType : public CSoapType
{
public:
    enum Kind { NoValue, Int, String, Bool };

    // An element without a value.
    explicit CSoapSimpleType(const CSoapQName& name);
    CSoapSimpleType(const CSoapQName& name, int value);
    CSoapSimpleType(const CSoapQName& name, const QString& value);
    CSoapSimpleType(const CSoapQName& name, bool value);
    // A bare literal would silently become a boolean: pass a QString.
    CSoapSimpleType(const CSoapQName& name, const char* value) = delete;
    // A value read from a reply: its text as it came.
    static std::unique_ptr<CSoapSimpleType> fromText(const CSoapQName& name, const QString& text);

    Kind kind() const { return m_kind; }
    QString text() const override { return m_text; }
    void write(QXmlStreamWriter& writer) const override;

private:
    CSoapSimpleType(const CSoapQName& name, Kind kind, const QString& text);

    Kind m_kind = NoValue;
    QString m_text;
};

class CSoapStruct : public CSoapType
{
public:
    explicit CSoapStruct(const CSoapQName& name = CSoapQName());
    ~CSoapStruct() override;

    // Appends the item; the struct owns it.
    void insert(std::unique_ptr<CSoapType> item);
    // Shorthand for a simple item.
    template <typename T> void insert(const QString& name, const T& value)
    {
        insert(std::make_unique<CSoapSimpleType>(CSoapQName(name), value));
    }

    int count() const { return static_cast<int>(m_items.size()); }
    const CSoapType& at(int index) const;
    const CSoapType& child(const QString& name) const override;
    void write(QXmlStreamWriter& writer) const override;

private:
    std::vector<std::unique_ptr<CSoapType>> m_items;
};
