#include "DialogTemplate.h"

#include <gtest/gtest.h>

namespace uitest {

namespace {

class Reader {
public:
    explicit Reader(const unsigned char* at) : m_start(at), m_at(at) {}

    unsigned word() {
        unsigned value = m_at[0] | m_at[1] << 8;
        m_at += 2;
        return value;
    }
    DWORD dword() {
        DWORD low = word();
        return low | static_cast<DWORD>(word()) << 16;
    }
    int coordinate() { return static_cast<short>(word()); }
    // A dialog and each of its items give their place and size alike, in dialog units.
    template <class Placed> void place(Placed& placed) {
        placed.x = coordinate();
        placed.y = coordinate();
        placed.cx = coordinate();
        placed.cy = coordinate();
    }
    // A UTF-16 string ended by zero; the templates hold ASCII only.
    std::string text() {
        std::string s;
        while (unsigned c = word())
            s += static_cast<char>(c);
        return s;
    }
    // A name or an ordinal: 0xFFFF followed by a number.
    std::string nameOrOrdinal() {
        if (m_at[0] == 0xFF && m_at[1] == 0xFF) {
            word();
            return "#" + std::to_string(word());
        }
        return text();
    }
    void alignToDword() {
        while ((m_at - m_start) % 4)
            ++m_at;
    }
    void skip(std::size_t bytes) { m_at += bytes; }

private:
    const unsigned char* m_start;
    const unsigned char* m_at;
};

std::string predefinedClass(const std::string& name) {
    if (name == "#128") return "Button";
    if (name == "#129") return "Edit";
    if (name == "#130") return "Static";
    return name;
}

} // namespace

DialogTemplate loadDialogTemplate(UINT id) {
    HMODULE module = ::GetModuleHandleA(nullptr);
    HRSRC info = ::FindResourceA(module, MAKEINTRESOURCEA(id), RT_DIALOG);
    DialogTemplate t{};
    if (!info) {
        ADD_FAILURE() << "no dialog template " << id;
        return t;
    }
    Reader r(static_cast<const unsigned char*>(::LockResource(::LoadResource(module, info))));
    t.style = r.dword();
    t.exStyle = r.dword();
    const unsigned count = r.word();
    r.place(t);
    t.menu = r.nameOrOrdinal();
    t.className = r.nameOrOrdinal();
    t.caption = r.text();
    if (t.style & DS_SETFONT) {
        t.pointSize = static_cast<int>(r.word());
        t.face = r.text();
    }
    for (unsigned i = 0; i < count; ++i) {
        r.alignToDword();
        TemplateItem item{};
        item.style = r.dword();
        item.exStyle = r.dword();
        r.place(item);
        item.id = static_cast<int>(r.word());
        item.className = predefinedClass(r.nameOrOrdinal());
        item.text = r.nameOrOrdinal();
        r.skip(r.word());
        t.items.push_back(item);
    }
    return t;
}

} // namespace uitest
