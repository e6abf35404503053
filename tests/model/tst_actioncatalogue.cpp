// The action catalogue: what the action editor offers and how its rows read.
#include <gtest/gtest.h>

#include "model/actioncatalogue.h"

namespace {

QString untranslated(const QString &text)
{
    return text;
}

TEST(ActionCatalogue, ListsTheOfferedCodesInAscendingOrder)
{
    const auto entries = ActionCatalogue();
    ASSERT_EQ(entries.size(), 74u);
    for (size_t i = 1; i < entries.size(); ++i)
        EXPECT_LT(entries[i - 1].code, entries[i].code) << i;
    // Codes the unit does not offer as actions.
    for (const qint16 code : {0, 40, 41, 44, 47, 49, 53, 56, 61, 64, 67, 78, 81, 88, 110, -1})
        EXPECT_EQ(FindAction(code), nullptr) << code;
}

TEST(ActionCatalogue, RowsReadCodeDashTextAndNumber)
{
    const struct {
        qint16 code;
        const char *row;
    } cases[] = {
        {1, "1 - Ejecutar macro 0"},
        {39, "39 - Ejecutar macro 38"},
        {42, "42 - Sincronizar reloj"},
        {48, "48 - Enviar SMS tipo Kairn"},
        {60, "60 - Registrar contador 3"},
        {66, "66 - Registrar caudal 2 y 3"},
        {93, "93 - Leer canal matematico 3"},
        {94, "94 - Registrar canal matematico 0"},
        {101, "101 - Registrar sonda 3"},
        {109, "109 - Registrar entrada digital 7"},
    };
    for (const auto &c : cases) {
        const ActionEntry *entry = FindAction(c.code);
        ASSERT_NE(entry, nullptr) << c.code;
        EXPECT_EQ(ActionRowText(*entry, untranslated), QString::fromUtf8(c.row));
    }
}

TEST(ActionCatalogue, TranslatesTheTextBeforeTheNumberIsAdded)
{
    const auto english = [](const QString &text) {
        return text == QLatin1String("Ejecutar macro") ? QStringLiteral("Run macro") : text;
    };
    EXPECT_EQ(ActionRowText(*FindAction(5), english), "5 - Run macro 4");
    EXPECT_EQ(ActionRowText(*FindAction(80), english), "80 - Registrar alarma");
}

} // namespace
