#include "palettes/form2.h"
#include "palettes/form3.h"

#include <QPointer>

// Placeholder windows until the palettes land.
namespace lumo::palettes {

namespace {
QPointer<Form2> g_form2;
QPointer<Form3> g_form3;
} // namespace

Form2::Form2() { setAttribute(Qt::WA_DeleteOnClose); }
Form2 &Form2::Instance()
{
    if (!g_form2)
        g_form2 = new Form2;
    return *g_form2;
}
Form2 *Form2::Existing() { return g_form2.data(); }

Form3::Form3() { setAttribute(Qt::WA_DeleteOnClose); }
Form3 &Form3::Instance()
{
    if (!g_form3)
        g_form3 = new Form3;
    return *g_form3;
}
Form3 *Form3::Existing() { return g_form3.data(); }

} // namespace lumo::palettes
