#pragma once

#include <QString>
#include <QVariant>
#include <QVector>

// The general options: one table names every option once, in the order Apply
// writes them, and drives reading, applying and the host's questions.
class kiv_general_options
{
public:
    enum class Kind {
        OnOff,     // stored as 1/0, read with QVariant::toBool
        IntSwitch, // stored as 1/0, read as an int where non-zero is on
        Int,
        Text,
    };

    enum class Source {
        UserFile,    // section "kiv.general" of the user file
        PathLayers,  // built-in, then the default file, then the user file
        DefaultFile, // "kiv.general/<key>" of the default file only
    };

    enum class ApplyRule {
        Copy,         // the widget's value as it stands
        AtLeast30,    // the minutes, or the previous value when below 30
        Positive,     // the number, or the previous value when not positive
        RenderFlag,   // only while the render timeout is on: 0 for "stop", else 1
        Trimmed,      // the text without surrounding blanks
        ReReadDefault,// never written: read again from the default file
        NotApplied,   // written elsewhere, or never
    };

    // How GetGeneralOpt(mark) answers an option.
    enum class HostAnswer { Value, AlwaysFalse, None };

    struct Option {
        const char* key;
        Kind kind;
        QVariant builtIn;    // for PathLayers: appended to the user folder unless empty
        Source source;
        const char* widget;  // object name on the panel, or nullptr
        ApplyRule apply;
        HostAnswer answer;   // GetGeneralOpt(mark)
        const char* slotMark;// the mark GetGeneralOpt(mark, value) answers it under, or nullptr
    };

    static const QVector<Option>& table();
    static int indexOf(const QString& key); // -1 when unknown

    kiv_general_options();

    // Every option back to its built-in default; path defaults live under userFolder.
    void resetToBuiltIn(const QString& userFolder);

    QVariant value(int index) const { return m_values.at(index); }
    void setValue(int index, const QVariant& value);

    bool flag(const char* key) const;
    int number(const char* key) const;
    QString text(const char* key) const;
    void set(const char* key, const QVariant& value);

    // Converts a stored or read value to the option's kind.
    static QVariant normalized(Kind kind, const QVariant& value);

private:
    QVector<QVariant> m_values;
};
