// Token, Tokenizer: the HTML standard's tokenization state machine, for the
// markup that chat text and the pane's template carry.
//
// The states follow the standard one for one, with its names, except where
// the pane has no use for the difference: DOCTYPE and CDATA are read as bogus
// comments, the comment's nested "<!--" checks (which only report errors) and
// the script data escape states are left out, and U+0000 in the data state
// is dropped here instead of by the tree builder, since the pane's tree has
// no foreign content, the one place where it would stay. Parse errors are
// recovered from exactly as the standard says and are not reported. Runs of
// characters come out as one token. Each step consumes input or changes state
// towards doing so, and everything looked ahead is bounded, so the time is
// linear.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "HtmlNode.h"

namespace html {

struct Token {
    enum class Type { StartTag, EndTag, Characters, Comment, EndOfFile };

    Type type = Type::EndOfFile;
    std::u16string name;                // tags: lower-case
    std::vector<Attribute> attributes;  // start tags: first of each name only
    bool selfClosing = false;
    std::u16string data;  // characters and comments
};

class Tokenizer {
public:
    // What follows a start tag, as the tree builder decides: RCDATA for title
    // and textarea, RAWTEXT for style and the like, script data for script.
    enum class ContentModel { Data, RcData, RawText, ScriptData };

    // Line ends (CR LF and lone CR) become LF here, once, for everything after.
    explicit Tokenizer(std::u16string_view input);

    // The next token; EndOfFile at the end, and again on every later call.
    Token Next();

    // Called by the tree builder right after the start tag that opens raw text.
    void SwitchContentModel(ContentModel model);

private:
    enum class State {
        Data,
        RcData,
        RawText,
        ScriptData,
        TagOpen,
        EndTagOpen,
        TagName,
        RcDataLessThanSign,
        RcDataEndTagOpen,
        RcDataEndTagName,
        RawTextLessThanSign,
        RawTextEndTagOpen,
        RawTextEndTagName,
        ScriptDataLessThanSign,
        ScriptDataEndTagOpen,
        ScriptDataEndTagName,
        BeforeAttributeName,
        AttributeName,
        AfterAttributeName,
        BeforeAttributeValue,
        AttributeValueDoubleQuoted,
        AttributeValueSingleQuoted,
        AttributeValueUnquoted,
        AfterAttributeValueQuoted,
        SelfClosingStartTag,
        BogusComment,
        MarkupDeclarationOpen,
        CommentStart,
        CommentStartDash,
        Comment,
        CommentEndDash,
        CommentEnd,
        CommentEndBang,
        CharacterReference,
        NamedCharacterReference,
        AmbiguousAmpersand,
        NumericCharacterReference,
        HexadecimalCharacterReferenceStart,
        DecimalCharacterReferenceStart,
        HexadecimalCharacterReference,
        DecimalCharacterReference,
        NumericCharacterReferenceEnd,
    };

    static constexpr int kEndOfFile = -1;

    // Input.
    int Consume();
    bool NextCharactersAre(std::u16string_view text, bool ignoreCase) const;
    void SkipCharacters(std::size_t count) { m_position += count; }

    // The standard's verbs.
    void SwitchTo(State state) { m_state = state; }
    void ReconsumeIn(State state);
    void EmitCharacter(char16_t c) { m_text.push_back(c); }
    void EmitCharacters(std::u16string_view text) { m_text.append(text); }
    void EmitCurrentTag();
    void EmitCurrentComment();
    void EmitEndOfFile();
    void FlushText();

    void CreateTag(Token::Type type);
    void CreateComment(std::u16string data);
    void StartNewAttribute();
    void FinishAttributeName();
    void AppendToAttributeValue(char16_t c);
    bool IsAppropriateEndTag() const;
    bool CharacterReferenceInAttribute() const;
    void FlushCodePointsConsumedAsCharacterReference();

    // One step of the state machine, each in the state of its name.
    void Step();
    void DataState(int c);
    void RcDataState(int c);
    void RawTextOrScriptDataState(int c, State lessThanSign);
    void TagOpenState(int c);
    void EndTagOpenState(int c);
    void TagNameState(int c);
    void TextLessThanSignState(int c, State endTagOpen, State text);
    void TextEndTagOpenState(int c, State endTagName, State text);
    void TextEndTagNameState(int c, State text);
    void BeforeAttributeNameState(int c);
    void AttributeNameState(int c);
    void AfterAttributeNameState(int c);
    void BeforeAttributeValueState(int c);
    void AttributeValueQuotedState(int c, char16_t quote);
    void AttributeValueUnquotedState(int c);
    void AfterAttributeValueQuotedState(int c);
    void SelfClosingStartTagState(int c);
    void BogusCommentState(int c);
    void MarkupDeclarationOpenState();
    void CommentStartState(int c);
    void CommentStartDashState(int c);
    void CommentState(int c);
    void CommentEndDashState(int c);
    void CommentEndState(int c);
    void CommentEndBangState(int c);
    void CharacterReferenceState(int c);
    void NamedCharacterReferenceState();
    void AmbiguousAmpersandState(int c);
    void NumericCharacterReferenceState(int c);
    void HexadecimalCharacterReferenceStartState(int c);
    void DecimalCharacterReferenceStartState(int c);
    void HexadecimalCharacterReferenceState(int c);
    void DecimalCharacterReferenceState(int c);
    void NumericCharacterReferenceEndState();

    std::u16string m_input;
    std::size_t m_position = 0;
    int m_current = kEndOfFile;
    bool m_reconsume = false;
    State m_state = State::Data;
    State m_returnState = State::Data;

    std::u16string m_text;      // characters not yet handed out
    std::deque<Token> m_ready;  // tokens finished, in order
    bool m_ended = false;

    Token m_tag;                   // the tag or comment being built
    bool m_dropAttribute = false;  // the current attribute repeats an earlier name
    std::unordered_set<std::u16string> m_attributeNames;
    std::u16string m_lastStartTagName;
    std::u16string m_temporaryBuffer;
    std::uint32_t m_characterReferenceCode = 0;
};

}  // namespace html
