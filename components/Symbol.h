#pragma once

// The component symbols: each holds the electrical values of one component on
// a schematic, writes and reads its text form for the circuit file, and edits
// itself through the dialog of its kind.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "components/ElementKind.h"
#include "components/TaperLaw.h"

namespace cva {

// What an edit dialog shows and gives back: the value field, the inductor's
// DC resistance field and the potentiometer's taper choice.
struct TDialogFields {
    std::string Source;
    std::string Res;
    int Style = 0;
};

// Implemented by the front end: shows the dialog of a kind modally and
// returns true when the user confirms with OK.
class TEditDialogs {
public:
    virtual ~TEditDialogs() = default;
    virtual bool Execute(TElementKind kind, TDialogFields &fields) = 0;
};


class TSymbol {
public:
    virtual ~TSymbol() = default;

    virtual std::unique_ptr<TSymbol> Clone() const = 0;
    // Shows the dialog; stores what the user confirms when it converts,
    // otherwise leaves the symbol as it was.
    virtual void Edit(TEditDialogs &dialogs, char decimalSeparator) = 0;
    // The text form used in the circuit file, e.g. "250000|1".
    virtual std::string GetInfo(char decimalSeparator = '.') const = 0;
    // Reads the text form; all or nothing.
    virtual void SetInfo(std::string_view text, char decimalSeparator = '.') = 0;
    virtual TElementKind Kind() const = 0;
    std::string TypeName() const { return std::string(Traits(Kind()).TypeName); }

    std::string GetCaption(char decimalSeparator = '.') const;
    // The same kind of component with exactly the same values.
    virtual bool SameAs(const TSymbol &other) const;
    double GetValue() const { return Value; }
    double GetValueR() const { return ValueR; }

protected:
    TSymbol(double value, double valueR) : Value(value), ValueR(valueR) {}
    TSymbol(const TSymbol &) = default;
    TSymbol &operator=(const TSymbol &) = default;

    double Value;
    double ValueR;
};

// Resistor, capacitor and generator: one value, one dialog field.
class TSingleValueSymbol : public TSymbol {
public:
    void Edit(TEditDialogs &dialogs, char decimalSeparator) override;
    std::string GetInfo(char decimalSeparator = '.') const override;
    void SetInfo(std::string_view text, char decimalSeparator = '.') override;
    TElementKind Kind() const override { return OwnKind; }

protected:
    TSingleValueSymbol(double value, TElementKind kind) : TSymbol(value, 0.0), OwnKind(kind) {}

private:
    TElementKind OwnKind;
};

class TSymbolResistor final : public TSingleValueSymbol {
public:
    explicit TSymbolResistor(double value) : TSingleValueSymbol(value, TElementKind::Resistor) {}
    std::unique_ptr<TSymbol> Clone() const override { return std::make_unique<TSymbolResistor>(*this); }
};

class TSymbolCapacitor final : public TSingleValueSymbol {
public:
    explicit TSymbolCapacitor(double value) : TSingleValueSymbol(value, TElementKind::Capacitor) {}
    std::unique_ptr<TSymbol> Clone() const override { return std::make_unique<TSymbolCapacitor>(*this); }
};

class TSymbolGenerator final : public TSingleValueSymbol {
public:
    explicit TSymbolGenerator(double value) : TSingleValueSymbol(value, TElementKind::Generator) {}
    std::unique_ptr<TSymbol> Clone() const override { return std::make_unique<TSymbolGenerator>(*this); }
};

class TSymbolInductor final : public TSymbol {
public:
    TSymbolInductor(double value, double valueR) : TSymbol(value, valueR) {}
    std::unique_ptr<TSymbol> Clone() const override { return std::make_unique<TSymbolInductor>(*this); }
    TElementKind Kind() const override { return TElementKind::Inductor; }
    void Edit(TEditDialogs &dialogs, char decimalSeparator) override;
    std::string GetInfo(char decimalSeparator = '.') const override;
    void SetInfo(std::string_view text, char decimalSeparator = '.') override;
};

class TSymbolPot final : public TSymbol {
public:
    TSymbolPot(std::uint8_t potType, double value) : TSymbol(value, 0.0), PotType(potType) {}
    std::unique_ptr<TSymbol> Clone() const override { return std::make_unique<TSymbolPot>(*this); }
    TElementKind Kind() const override { return TElementKind::Pot; }
    void Edit(TEditDialogs &dialogs, char decimalSeparator) override;
    std::string GetInfo(char decimalSeparator = '.') const override;
    void SetInfo(std::string_view text, char decimalSeparator = '.') override;
    bool SameAs(const TSymbol &other) const override;

    std::uint8_t GetPotType() const { return PotType; }

private:
    std::uint8_t PotType;
};

} // namespace cva
