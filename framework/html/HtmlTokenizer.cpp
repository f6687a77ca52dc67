#include "HtmlTokenizer.h"

#include "CharacterReferences.h"
#include "TextUnits.h"

namespace html {
namespace {

constexpr char16_t kReplacementCharacter = 0xFFFD;

// White space between a tag's parts, as the tokenizer's states name it: tab,
// LF, FF and space. Not CR, unlike IsHtmlWhitespace: line ends were made LF
// where the input was read (NormalizeLineEnds), so no CR arrives here.
bool IsTagWhitespace(int c) { return c == '\t' || c == '\n' || c == '\f' || c == ' '; }

// Accumulates a numeric reference's digits without overflow: anything past
// U+10FFFF is as bad as any other value there.
std::uint32_t AddDigit(std::uint32_t code, int base, int digit) {
    constexpr std::uint32_t kBeyondUnicode = 0x110000;
    const std::uint64_t next = std::uint64_t{code} * base + digit;
    return next >= kBeyondUnicode ? kBeyondUnicode : static_cast<std::uint32_t>(next);
}

std::u16string Utf16(char32_t codePoint) {
    if (codePoint < 0x10000) return std::u16string(1, static_cast<char16_t>(codePoint));
    codePoint -= 0x10000;
    return {static_cast<char16_t>(0xD800 + (codePoint >> 10)), static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF))};
}

std::u16string NormalizeLineEnds(std::u16string_view input) {
    std::u16string normalized;
    normalized.reserve(input.size());
    for (std::size_t i = 0; i < input.size(); ++i) {
        if (input[i] != u'\r') {
            normalized.push_back(input[i]);
            continue;
        }
        normalized.push_back(u'\n');
        if (i + 1 < input.size() && input[i + 1] == u'\n') ++i;
    }
    return normalized;
}

}  // namespace

Tokenizer::Tokenizer(std::u16string_view input) : m_input(NormalizeLineEnds(input)) {}

Token Tokenizer::Next() {
    while (m_ready.empty()) {
        if (m_ended) return Token{};
        Step();
    }
    Token token = std::move(m_ready.front());
    m_ready.pop_front();
    return token;
}

void Tokenizer::SwitchContentModel(ContentModel model) {
    switch (model) {
    case ContentModel::Data: SwitchTo(State::Data); break;
    case ContentModel::RcData: SwitchTo(State::RcData); break;
    case ContentModel::RawText: SwitchTo(State::RawText); break;
    case ContentModel::ScriptData: SwitchTo(State::ScriptData); break;
    }
}

// ---- Input ----

int Tokenizer::Consume() {
    if (m_reconsume) {
        m_reconsume = false;
        return m_current;
    }
    m_current = m_position < m_input.size() ? m_input[m_position++] : kEndOfFile;
    return m_current;
}

bool Tokenizer::NextCharactersAre(std::u16string_view text, bool ignoreCase) const {
    if (m_input.size() - m_position < text.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char16_t c = m_input[m_position + i];
        if ((ignoreCase ? AsciiLower(c) : c) != text[i]) return false;
    }
    return true;
}

// ---- Verbs ----

void Tokenizer::ReconsumeIn(State state) {
    m_reconsume = true;
    SwitchTo(state);
}

void Tokenizer::FlushText() {
    if (m_text.empty()) return;
    Token characters;
    characters.type = Token::Type::Characters;
    characters.data = std::move(m_text);
    m_text.clear();
    m_ready.push_back(std::move(characters));
}

void Tokenizer::EmitCurrentTag() {
    FlushText();
    if (m_tag.type == Token::Type::StartTag) {
        m_lastStartTagName = m_tag.name;
    } else {
        // End tags carry no attributes or self-closing flag in the tree.
        m_tag.attributes.clear();
        m_tag.selfClosing = false;
    }
    m_ready.push_back(std::move(m_tag));
    m_tag = Token{};
}

void Tokenizer::EmitCurrentComment() {
    FlushText();
    m_ready.push_back(std::move(m_tag));
    m_tag = Token{};
}

void Tokenizer::EmitEndOfFile() {
    FlushText();
    m_ready.push_back(Token{});
    m_ended = true;
}

void Tokenizer::CreateTag(Token::Type type) {
    m_tag = Token{};
    m_tag.type = type;
    m_attributeNames.clear();
    m_dropAttribute = false;
}

void Tokenizer::CreateComment(std::u16string data) {
    m_tag = Token{};
    m_tag.type = Token::Type::Comment;
    m_tag.data = std::move(data);
}

void Tokenizer::StartNewAttribute() {
    m_tag.attributes.emplace_back();
    m_dropAttribute = false;
}

// A repeated attribute name is a parse error, and the later attribute is
// dropped along with its value.
void Tokenizer::FinishAttributeName() {
    if (!m_attributeNames.insert(m_tag.attributes.back().name).second) {
        m_tag.attributes.pop_back();
        m_dropAttribute = true;
    }
}

void Tokenizer::AppendToAttributeValue(char16_t c) {
    if (!m_dropAttribute) m_tag.attributes.back().value.push_back(c);
}

bool Tokenizer::IsAppropriateEndTag() const { return !m_lastStartTagName.empty() && m_tag.name == m_lastStartTagName; }

bool Tokenizer::CharacterReferenceInAttribute() const {
    return m_returnState == State::AttributeValueDoubleQuoted || m_returnState == State::AttributeValueSingleQuoted ||
           m_returnState == State::AttributeValueUnquoted;
}

void Tokenizer::FlushCodePointsConsumedAsCharacterReference() {
    if (CharacterReferenceInAttribute()) {
        for (char16_t c : m_temporaryBuffer) AppendToAttributeValue(c);
    } else {
        EmitCharacters(m_temporaryBuffer);
    }
}

// ---- The state machine ----

void Tokenizer::Step() {
    // These look ahead rather than consume one character.
    if (m_state == State::MarkupDeclarationOpen) {
        MarkupDeclarationOpenState();
        return;
    }
    if (m_state == State::NamedCharacterReference) {
        NamedCharacterReferenceState();
        return;
    }
    if (m_state == State::NumericCharacterReferenceEnd) {
        NumericCharacterReferenceEndState();
        return;
    }
    const int c = Consume();
    switch (m_state) {
    case State::Data: DataState(c); break;
    case State::RcData: RcDataState(c); break;
    case State::RawText: RawTextOrScriptDataState(c, State::RawTextLessThanSign); break;
    case State::ScriptData: RawTextOrScriptDataState(c, State::ScriptDataLessThanSign); break;
    case State::TagOpen: TagOpenState(c); break;
    case State::EndTagOpen: EndTagOpenState(c); break;
    case State::TagName: TagNameState(c); break;
    case State::RcDataLessThanSign: TextLessThanSignState(c, State::RcDataEndTagOpen, State::RcData); break;
    case State::RcDataEndTagOpen: TextEndTagOpenState(c, State::RcDataEndTagName, State::RcData); break;
    case State::RcDataEndTagName: TextEndTagNameState(c, State::RcData); break;
    case State::RawTextLessThanSign: TextLessThanSignState(c, State::RawTextEndTagOpen, State::RawText); break;
    case State::RawTextEndTagOpen: TextEndTagOpenState(c, State::RawTextEndTagName, State::RawText); break;
    case State::RawTextEndTagName: TextEndTagNameState(c, State::RawText); break;
    case State::ScriptDataLessThanSign: TextLessThanSignState(c, State::ScriptDataEndTagOpen, State::ScriptData); break;
    case State::ScriptDataEndTagOpen: TextEndTagOpenState(c, State::ScriptDataEndTagName, State::ScriptData); break;
    case State::ScriptDataEndTagName: TextEndTagNameState(c, State::ScriptData); break;
    case State::BeforeAttributeName: BeforeAttributeNameState(c); break;
    case State::AttributeName: AttributeNameState(c); break;
    case State::AfterAttributeName: AfterAttributeNameState(c); break;
    case State::BeforeAttributeValue: BeforeAttributeValueState(c); break;
    case State::AttributeValueDoubleQuoted: AttributeValueQuotedState(c, u'"'); break;
    case State::AttributeValueSingleQuoted: AttributeValueQuotedState(c, u'\''); break;
    case State::AttributeValueUnquoted: AttributeValueUnquotedState(c); break;
    case State::AfterAttributeValueQuoted: AfterAttributeValueQuotedState(c); break;
    case State::SelfClosingStartTag: SelfClosingStartTagState(c); break;
    case State::BogusComment: BogusCommentState(c); break;
    case State::CommentStart: CommentStartState(c); break;
    case State::CommentStartDash: CommentStartDashState(c); break;
    case State::Comment: CommentState(c); break;
    case State::CommentEndDash: CommentEndDashState(c); break;
    case State::CommentEnd: CommentEndState(c); break;
    case State::CommentEndBang: CommentEndBangState(c); break;
    case State::CharacterReference: CharacterReferenceState(c); break;
    case State::AmbiguousAmpersand: AmbiguousAmpersandState(c); break;
    case State::NumericCharacterReference: NumericCharacterReferenceState(c); break;
    case State::HexadecimalCharacterReferenceStart: HexadecimalCharacterReferenceStartState(c); break;
    case State::DecimalCharacterReferenceStart: DecimalCharacterReferenceStartState(c); break;
    case State::HexadecimalCharacterReference: HexadecimalCharacterReferenceState(c); break;
    case State::DecimalCharacterReference: DecimalCharacterReferenceState(c); break;
    case State::MarkupDeclarationOpen:
    case State::NamedCharacterReference:
    case State::NumericCharacterReferenceEnd: break;  // handled above
    }
}

// Data state
void Tokenizer::DataState(int c) {
    switch (c) {
    case '&':
        m_returnState = State::Data;
        SwitchTo(State::CharacterReference);
        break;
    case '<': SwitchTo(State::TagOpen); break;
    case 0:
        // The standard emits it and tree construction in body then drops it.
        break;
    case kEndOfFile: EmitEndOfFile(); break;
    default: EmitCharacter(static_cast<char16_t>(c)); break;
    }
}

// RCDATA state
void Tokenizer::RcDataState(int c) {
    switch (c) {
    case '&':
        m_returnState = State::RcData;
        SwitchTo(State::CharacterReference);
        break;
    case '<': SwitchTo(State::RcDataLessThanSign); break;
    case 0: EmitCharacter(kReplacementCharacter); break;
    case kEndOfFile: EmitEndOfFile(); break;
    default: EmitCharacter(static_cast<char16_t>(c)); break;
    }
}

// RAWTEXT state, script data state: the standard gives both the same steps,
// apart from the state a '<' leads to.
void Tokenizer::RawTextOrScriptDataState(int c, State lessThanSign) {
    switch (c) {
    case '<': SwitchTo(lessThanSign); break;
    case 0: EmitCharacter(kReplacementCharacter); break;
    case kEndOfFile: EmitEndOfFile(); break;
    default: EmitCharacter(static_cast<char16_t>(c)); break;
    }
}

// Tag open state
void Tokenizer::TagOpenState(int c) {
    if (c == '!') {
        SwitchTo(State::MarkupDeclarationOpen);
    } else if (c == '/') {
        SwitchTo(State::EndTagOpen);
    } else if (IsAsciiAlpha(c)) {
        CreateTag(Token::Type::StartTag);
        ReconsumeIn(State::TagName);
    } else if (c == '?') {
        CreateComment(u"");
        ReconsumeIn(State::BogusComment);
    } else if (c == kEndOfFile) {
        EmitCharacter(u'<');
        EmitEndOfFile();
    } else {
        EmitCharacter(u'<');
        ReconsumeIn(State::Data);
    }
}

// End tag open state
void Tokenizer::EndTagOpenState(int c) {
    if (IsAsciiAlpha(c)) {
        CreateTag(Token::Type::EndTag);
        ReconsumeIn(State::TagName);
    } else if (c == '>') {
        SwitchTo(State::Data);
    } else if (c == kEndOfFile) {
        EmitCharacters(u"</");
        EmitEndOfFile();
    } else {
        CreateComment(u"");
        ReconsumeIn(State::BogusComment);
    }
}

// Tag name state
void Tokenizer::TagNameState(int c) {
    if (IsTagWhitespace(c)) {
        SwitchTo(State::BeforeAttributeName);
    } else if (c == '/') {
        SwitchTo(State::SelfClosingStartTag);
    } else if (c == '>') {
        SwitchTo(State::Data);
        EmitCurrentTag();
    } else if (c == 0) {
        m_tag.name.push_back(kReplacementCharacter);
    } else if (c == kEndOfFile) {
        EmitEndOfFile();
    } else {
        m_tag.name.push_back(static_cast<char16_t>(AsciiLower(c)));
    }
}

// RCDATA / RAWTEXT / script data less-than sign state
void Tokenizer::TextLessThanSignState(int c, State endTagOpen, State text) {
    if (c == '/') {
        m_temporaryBuffer.clear();
        SwitchTo(endTagOpen);
    } else {
        EmitCharacter(u'<');
        ReconsumeIn(text);
    }
}

// RCDATA / RAWTEXT / script data end tag open state
void Tokenizer::TextEndTagOpenState(int c, State endTagName, State text) {
    if (IsAsciiAlpha(c)) {
        CreateTag(Token::Type::EndTag);
        ReconsumeIn(endTagName);
    } else {
        EmitCharacters(u"</");
        ReconsumeIn(text);
    }
}

// RCDATA / RAWTEXT / script data end tag name state
void Tokenizer::TextEndTagNameState(int c, State text) {
    if (IsTagWhitespace(c) && IsAppropriateEndTag()) {
        SwitchTo(State::BeforeAttributeName);
    } else if (c == '/' && IsAppropriateEndTag()) {
        SwitchTo(State::SelfClosingStartTag);
    } else if (c == '>' && IsAppropriateEndTag()) {
        SwitchTo(State::Data);
        EmitCurrentTag();
    } else if (IsAsciiAlpha(c)) {
        m_tag.name.push_back(static_cast<char16_t>(AsciiLower(c)));
        m_temporaryBuffer.push_back(static_cast<char16_t>(c));
    } else {
        EmitCharacters(u"</");
        EmitCharacters(m_temporaryBuffer);
        ReconsumeIn(text);
    }
}

// Before attribute name state
void Tokenizer::BeforeAttributeNameState(int c) {
    if (IsTagWhitespace(c)) return;
    if (c == '/' || c == '>' || c == kEndOfFile) {
        ReconsumeIn(State::AfterAttributeName);
    } else if (c == '=') {
        StartNewAttribute();
        m_tag.attributes.back().name.push_back(u'=');
        SwitchTo(State::AttributeName);
    } else {
        StartNewAttribute();
        ReconsumeIn(State::AttributeName);
    }
}

// Attribute name state
void Tokenizer::AttributeNameState(int c) {
    if (IsTagWhitespace(c) || c == '/' || c == '>' || c == kEndOfFile) {
        FinishAttributeName();
        ReconsumeIn(State::AfterAttributeName);
    } else if (c == '=') {
        FinishAttributeName();
        SwitchTo(State::BeforeAttributeValue);
    } else if (c == 0) {
        m_tag.attributes.back().name.push_back(kReplacementCharacter);
    } else {
        m_tag.attributes.back().name.push_back(static_cast<char16_t>(AsciiLower(c)));
    }
}

// After attribute name state
void Tokenizer::AfterAttributeNameState(int c) {
    if (IsTagWhitespace(c)) return;
    if (c == '/') {
        SwitchTo(State::SelfClosingStartTag);
    } else if (c == '=') {
        SwitchTo(State::BeforeAttributeValue);
    } else if (c == '>') {
        SwitchTo(State::Data);
        EmitCurrentTag();
    } else if (c == kEndOfFile) {
        EmitEndOfFile();
    } else {
        StartNewAttribute();
        ReconsumeIn(State::AttributeName);
    }
}

// Before attribute value state
void Tokenizer::BeforeAttributeValueState(int c) {
    if (IsTagWhitespace(c)) return;
    if (c == '"') {
        SwitchTo(State::AttributeValueDoubleQuoted);
    } else if (c == '\'') {
        SwitchTo(State::AttributeValueSingleQuoted);
    } else if (c == '>') {
        SwitchTo(State::Data);
        EmitCurrentTag();
    } else {
        ReconsumeIn(State::AttributeValueUnquoted);
    }
}

// Attribute value (double-quoted) state, attribute value (single-quoted) state
void Tokenizer::AttributeValueQuotedState(int c, char16_t quote) {
    if (c == quote) {
        SwitchTo(State::AfterAttributeValueQuoted);
    } else if (c == '&') {
        m_returnState = m_state;
        SwitchTo(State::CharacterReference);
    } else if (c == 0) {
        AppendToAttributeValue(kReplacementCharacter);
    } else if (c == kEndOfFile) {
        EmitEndOfFile();
    } else {
        AppendToAttributeValue(static_cast<char16_t>(c));
    }
}

// Attribute value (unquoted) state
void Tokenizer::AttributeValueUnquotedState(int c) {
    if (IsTagWhitespace(c)) {
        SwitchTo(State::BeforeAttributeName);
    } else if (c == '&') {
        m_returnState = State::AttributeValueUnquoted;
        SwitchTo(State::CharacterReference);
    } else if (c == '>') {
        SwitchTo(State::Data);
        EmitCurrentTag();
    } else if (c == 0) {
        AppendToAttributeValue(kReplacementCharacter);
    } else if (c == kEndOfFile) {
        EmitEndOfFile();
    } else {
        AppendToAttributeValue(static_cast<char16_t>(c));
    }
}

// After attribute value (quoted) state
void Tokenizer::AfterAttributeValueQuotedState(int c) {
    if (IsTagWhitespace(c)) {
        SwitchTo(State::BeforeAttributeName);
    } else if (c == '/') {
        SwitchTo(State::SelfClosingStartTag);
    } else if (c == '>') {
        SwitchTo(State::Data);
        EmitCurrentTag();
    } else if (c == kEndOfFile) {
        EmitEndOfFile();
    } else {
        ReconsumeIn(State::BeforeAttributeName);
    }
}

// Self-closing start tag state
void Tokenizer::SelfClosingStartTagState(int c) {
    if (c == '>') {
        m_tag.selfClosing = true;
        SwitchTo(State::Data);
        EmitCurrentTag();
    } else if (c == kEndOfFile) {
        EmitEndOfFile();
    } else {
        ReconsumeIn(State::BeforeAttributeName);
    }
}

// Bogus comment state
void Tokenizer::BogusCommentState(int c) {
    if (c == '>') {
        SwitchTo(State::Data);
        EmitCurrentComment();
    } else if (c == kEndOfFile) {
        EmitCurrentComment();
        EmitEndOfFile();
    } else {
        m_tag.data.push_back(c == 0 ? kReplacementCharacter : static_cast<char16_t>(c));
    }
}

// Markup declaration open state. DOCTYPE and CDATA sections have no meaning
// in the pane, so they take the bogus comment path with everything else.
void Tokenizer::MarkupDeclarationOpenState() {
    if (NextCharactersAre(u"--", false)) {
        SkipCharacters(2);
        CreateComment(u"");
        SwitchTo(State::CommentStart);
    } else {
        CreateComment(u"");
        SwitchTo(State::BogusComment);
    }
}

// Comment start state
void Tokenizer::CommentStartState(int c) {
    if (c == '-') {
        SwitchTo(State::CommentStartDash);
    } else if (c == '>') {
        SwitchTo(State::Data);  // "<!-->": an abruptly closed empty comment
        EmitCurrentComment();
    } else {
        ReconsumeIn(State::Comment);
    }
}

// Comment start dash state
void Tokenizer::CommentStartDashState(int c) {
    if (c == '-') {
        SwitchTo(State::CommentEnd);
    } else if (c == '>') {
        SwitchTo(State::Data);
        EmitCurrentComment();
    } else if (c == kEndOfFile) {
        EmitCurrentComment();
        EmitEndOfFile();
    } else {
        m_tag.data.push_back(u'-');
        ReconsumeIn(State::Comment);
    }
}

// Comment state. The standard's comment less-than sign states only report
// nested "<!--" as an error, so "<" is simply part of the comment here.
void Tokenizer::CommentState(int c) {
    if (c == '-') {
        SwitchTo(State::CommentEndDash);
    } else if (c == kEndOfFile) {
        EmitCurrentComment();
        EmitEndOfFile();
    } else {
        m_tag.data.push_back(c == 0 ? kReplacementCharacter : static_cast<char16_t>(c));
    }
}

// Comment end dash state
void Tokenizer::CommentEndDashState(int c) {
    if (c == '-') {
        SwitchTo(State::CommentEnd);
    } else if (c == kEndOfFile) {
        EmitCurrentComment();
        EmitEndOfFile();
    } else {
        m_tag.data.push_back(u'-');
        ReconsumeIn(State::Comment);
    }
}

// Comment end state
void Tokenizer::CommentEndState(int c) {
    if (c == '>') {
        SwitchTo(State::Data);
        EmitCurrentComment();
    } else if (c == '!') {
        SwitchTo(State::CommentEndBang);
    } else if (c == '-') {
        m_tag.data.push_back(u'-');
    } else if (c == kEndOfFile) {
        EmitCurrentComment();
        EmitEndOfFile();
    } else {
        m_tag.data.append(u"--");
        ReconsumeIn(State::Comment);
    }
}

// Comment end bang state
void Tokenizer::CommentEndBangState(int c) {
    if (c == '-') {
        m_tag.data.append(u"--!");
        SwitchTo(State::CommentEndDash);
    } else if (c == '>') {
        SwitchTo(State::Data);
        EmitCurrentComment();
    } else if (c == kEndOfFile) {
        EmitCurrentComment();
        EmitEndOfFile();
    } else {
        m_tag.data.append(u"--!");
        ReconsumeIn(State::Comment);
    }
}

// Character reference state
void Tokenizer::CharacterReferenceState(int c) {
    m_temporaryBuffer.assign(1, u'&');
    if (IsAsciiAlphanumeric(c)) {
        ReconsumeIn(State::NamedCharacterReference);
    } else if (c == '#') {
        m_temporaryBuffer.push_back(u'#');
        SwitchTo(State::NumericCharacterReference);
    } else {
        FlushCodePointsConsumedAsCharacterReference();
        ReconsumeIn(m_returnState);
    }
}

// Named character reference state. Entered by reconsuming the name's first
// character, which is the one before m_position.
void Tokenizer::NamedCharacterReferenceState() {
    m_reconsume = false;
    const std::size_t start = m_position - 1;
    const auto match = MatchNamedReference(std::u16string_view(m_input).substr(start));
    if (!match) {
        FlushCodePointsConsumedAsCharacterReference();
        ReconsumeIn(State::AmbiguousAmpersand);
        return;
    }
    m_position = start + match->length;
    const int next = m_position < m_input.size() ? m_input[m_position] : kEndOfFile;
    // Historical rule: in an attribute, "&amp=" or "&ampx" is most likely
    // part of a URL's query, not a reference.
    if (CharacterReferenceInAttribute() && !match->endsWithSemicolon && (next == '=' || IsAsciiAlphanumeric(next))) {
        m_temporaryBuffer.append(m_input, start, match->length);
        FlushCodePointsConsumedAsCharacterReference();
        SwitchTo(m_returnState);
        return;
    }
    m_temporaryBuffer = Utf16(match->codePoint);
    if (match->secondCodePoint != 0) m_temporaryBuffer += Utf16(match->secondCodePoint);
    FlushCodePointsConsumedAsCharacterReference();
    SwitchTo(m_returnState);
}

// Ambiguous ampersand state
void Tokenizer::AmbiguousAmpersandState(int c) {
    if (IsAsciiAlphanumeric(c)) {
        if (CharacterReferenceInAttribute()) AppendToAttributeValue(static_cast<char16_t>(c));
        else EmitCharacter(static_cast<char16_t>(c));
    } else {
        ReconsumeIn(m_returnState);
    }
}

// Numeric character reference state
void Tokenizer::NumericCharacterReferenceState(int c) {
    m_characterReferenceCode = 0;
    if (c == 'x' || c == 'X') {
        m_temporaryBuffer.push_back(static_cast<char16_t>(c));
        SwitchTo(State::HexadecimalCharacterReferenceStart);
    } else {
        ReconsumeIn(State::DecimalCharacterReferenceStart);
    }
}

// Hexadecimal character reference start state
void Tokenizer::HexadecimalCharacterReferenceStartState(int c) {
    if (IsAsciiHexDigit(c)) {
        ReconsumeIn(State::HexadecimalCharacterReference);
    } else {
        FlushCodePointsConsumedAsCharacterReference();
        ReconsumeIn(m_returnState);
    }
}

// Decimal character reference start state
void Tokenizer::DecimalCharacterReferenceStartState(int c) {
    if (IsAsciiDigit(c)) {
        ReconsumeIn(State::DecimalCharacterReference);
    } else {
        FlushCodePointsConsumedAsCharacterReference();
        ReconsumeIn(m_returnState);
    }
}

// Hexadecimal character reference state
void Tokenizer::HexadecimalCharacterReferenceState(int c) {
    if (IsAsciiHexDigit(c)) {
        m_characterReferenceCode = AddDigit(m_characterReferenceCode, 16, HexDigitValue(c));
    } else if (c == ';') {
        SwitchTo(State::NumericCharacterReferenceEnd);
    } else {
        ReconsumeIn(State::NumericCharacterReferenceEnd);
    }
}

// Decimal character reference state
void Tokenizer::DecimalCharacterReferenceState(int c) {
    if (IsAsciiDigit(c)) {
        m_characterReferenceCode = AddDigit(m_characterReferenceCode, 10, c - '0');
    } else if (c == ';') {
        SwitchTo(State::NumericCharacterReferenceEnd);
    } else {
        ReconsumeIn(State::NumericCharacterReferenceEnd);
    }
}

// Numeric character reference end state. Entered with the character after
// the digits already consumed or waiting to be reconsumed: it is left as is.
void Tokenizer::NumericCharacterReferenceEndState() {
    m_temporaryBuffer = Utf16(NumericReferenceCodePoint(m_characterReferenceCode));
    FlushCodePointsConsumedAsCharacterReference();
    SwitchTo(m_returnState);
}

}  // namespace html
