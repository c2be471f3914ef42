// The editor fountain's parser: adds the recognisers that depend on the view options and maps
// each token to a colour of the editor's colour set.
#pragma once

#include "fountain/fountain_parser.h"

namespace kst {

class TEditorFountain;

class TEditorParser : public TFountainParser {
public:
    // Raises unless Fountain is a TEditorFountain.
    explicit TEditorParser(TFountain* Fountain);

    const TFountainColor* TokenColor() const override;

protected:
    void BuildTables() override;
    void StartToken() override;
    TTokenKinds NoCarryKinds() const override;

    virtual bool MatchQuotation();
    virtual void ScanQuoted();
    virtual bool MatchCommenter();
    virtual bool MatchHexPrefix();
    virtual bool MatchHexControlCode();
    virtual void ScanHexControlCode();
    virtual bool MatchControlCode();
    virtual void ScanControlCode();

private:
    const TEditorFountain& FEditorFountain;
};

} // namespace kst
