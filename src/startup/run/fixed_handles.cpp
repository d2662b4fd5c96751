// The resources every game needs, at fixed handle numbers.
#include "startup/run/fixed_handles.h"

#include <array>
#include <cstdio>

#include "core/decoders.h"
#include "core/handle_ids.h"

namespace {

struct fixed_handle {
    handle_id id;
    const char* name;
    decoder_id decoder;  // decoder_id::count: none (raw bytes)
    path_group folder;
};

constexpr decoder_id PAL8 = decoder_id::pcx_to_pal8;
constexpr decoder_id HICOLOR = decoder_id::pcx_to_hicolor;
constexpr decoder_id PCX_1040 = decoder_id::pcx_1040;
constexpr decoder_id FADE = decoder_id::pcx_to_fade;
constexpr decoder_id NOPAL = decoder_id::pcx_to_nopal;
constexpr decoder_id RAW = decoder_id::count;
constexpr decoder_id SAMPLE = decoder_id::sample_converter;

constexpr fixed_handle fixed_table[] = {
    {H_DESK, "desk.pcx", PAL8, PATH_GUI},
    {H_MSC_SIP, "msc_sip.pcx", PAL8, PATH_GUI},
    {H_MSC_X, "msc_x.pcx", PAL8, PATH_GUI},
    {H_MSC_WHO, "msc_who.pcx", PAL8, PATH_GUI},
    {H_MSC_ZARE, "msc_zare.pcx", PAL8, PATH_GUI},
    {H_SIPKY_S, "sipky_s.pcx", PAL8, PATH_GUI},
    {H_SIPKY_SV, "sipky_sv.pcx", PAL8, PATH_GUI},
    {H_SIPKY_SZ, "sipky_sz.pcx", PAL8, PATH_GUI},
    {H_SIPKY_V, "sipky_v.pcx", PAL8, PATH_GUI},
    {H_SIPKY_Z, "sipky_z.pcx", PAL8, PATH_GUI},
    {H_SIPKY_J, "sipky_j.pcx", PAL8, PATH_GUI},
    {H_BACKMAP, "backmap.pcx", PAL8, PATH_GUI},
    {H_IOBLOUK, "ioblouk.pcx", PAL8, PATH_GUI},
    {H_IDESKA, "ideska.pcx", PAL8, PATH_GUI},
    {H_IMRIZ1, "imriz1.pcx", PAL8, PATH_GUI},
    {H_RAMECEK, "ramecek.pcx", PAL8, PATH_GUI},
    {H_SOUBOJE, "souboje.pcx", PAL8, PATH_GUI},
    {H_M_SOUBOJ, "m_souboj.pcx", PAL8, PATH_GUI},
    {H_MZASAH1, "mzasah1.pcx", PAL8, PATH_GUI},
    {H_MZASAH2, "mzasah2.pcx", PAL8, PATH_GUI},
    {H_MZASAH3, "mzasah3.pcx", PAL8, PATH_GUI},
    {H_PZASAH, "pzasah.pcx", PAL8, PATH_GUI},
    {H_SOUBOJE2, "souboje2.pcx", PAL8, PATH_GUI},
    {H_SIPKY, "sipky.pcx", PAL8, PATH_GUI},
    {H_DEATH, "death.pcx", PAL8, PATH_GUI},
    {H_RUNEHOLE, "runehole.pcx", PAL8, PATH_GUI},
    {H_RUNEMASK, "runemask.pcx", PAL8, PATH_GUI},
    {H_POWERBAR, "powerbar.pcx", PAL8, PATH_GUI},
    {H_POWERLED, "powerled.pcx", PAL8, PATH_GUI},
    {H_R_OHEN, "r_ohen.pcx", PAL8, PATH_GUI},
    {H_R_VODA, "r_voda.pcx", PAL8, PATH_GUI},
    {H_R_ZEME, "r_zeme.pcx", PAL8, PATH_GUI},
    {H_R_VZDUCH, "r_vzduch.pcx", PAL8, PATH_GUI},
    {H_R_MYSL, "r_mysl.pcx", PAL8, PATH_GUI},
    {H_SPELLDEF, "spelldef.pcx", PAL8, PATH_GUI},
    {H_KNIHA, "kniha.pcx", PAL8, PATH_GUI},
    {H_WINTXTR, "wintxtr.pcx", PAL8, PATH_GUI},
    {H_SAVELOAD, "saveload.pcx", PAL8, PATH_GUI},
    {H_SVITEK, "svitek.pcx", PAL8, PATH_GUI},
    {H_LOADTXTR, "loadtxtr.pcx", PAL8, PATH_GUI},
    {H_DIALOG, "dialog.pcx", PAL8, PATH_GUI},
    {H_SHOP, "shop.pcx", PAL8, PATH_GUI},
    {H_FX, "fx.pcx", PAL8, PATH_GUI},
    {H_CHECKBOX, "checkbox.pcx", PAL8, PATH_GUI},
    {H_VOLBADES, "volbades.pcx", PAL8, PATH_GUI},
    {H_VOLBASOU, "volbasou.pcx", PAL8, PATH_GUI},
    {H_VOLBAZPE, "volbazpe.pcx", PAL8, PATH_GUI},
    {H_POSTUP, "postup.pcx", PAL8, PATH_GUI},
    {H_STUPNICE, "stupnice.pcx", PAL8, PATH_GUI},
    {H_CHARGEN, "chargen.pcx", PAL8, PATH_GUI},
    {H_CHARGENB, "chargenb.pcx", PAL8, PATH_GUI},
    {H_KREVMIN, "krevmin.pcx", PAL8, PATH_GUI},
    {H_KREVMID, "krevmid.pcx", PAL8, PATH_GUI},
    {H_KREVMAX, "krevmax.pcx", PAL8, PATH_GUI},
    {H_TOPBAR, "topbar.pcx", HICOLOR, PATH_GUI},
    {H_OKNO, "okno.pcx", HICOLOR, PATH_GUI},
    {H_KOMPAS, "kompas.pcx", HICOLOR, PATH_GUI},
    {H_LODKA, "lodka.pcx", PCX_1040, PATH_GUI},
    {H_BONES, "bones.pcx", FADE, PATH_GUI},
    {H_LESDA21A, "lesda21a.pcx", FADE, PATH_GRAPHICS},
    {H_LESDA22A, "lesda22a.pcx", FADE, PATH_GRAPHICS},
    {H_LESDA23A, "lesda23a.pcx", FADE, PATH_GRAPHICS},
    {H_LESDA24A, "lesda24a.pcx", FADE, PATH_GRAPHICS},
    {H_LESDA25A, "lesda25a.pcx", FADE, PATH_GRAPHICS},
    {H_LESDA26A, "lesda26a.pcx", FADE, PATH_GRAPHICS},
    {H_LESDA27A, "lesda27a.pcx", FADE, PATH_GRAPHICS},
    {H_LESDA28A, "lesda28a.pcx", FADE, PATH_GRAPHICS},
    {H_STUPNI_M, "stupni_m.pcx", NOPAL, PATH_GUI},
    {H_CHARGENM, "chargenm.pcx", NOPAL, PATH_GUI},
    {FONT_SADA16, "sada16.fon", RAW, PATH_FONTS},
    {FONT_IKONES, "ikones.fon", RAW, PATH_FONTS},
    {FONT_4X8, "font4x8.fon", RAW, PATH_FONTS},
    {FONT_5X8, "font5x8.fon", RAW, PATH_FONTS},
    {FONT_6X9, "font6x9.fon", RAW, PATH_FONTS},
    {FONT_SADA7, "sada7.fon", RAW, PATH_FONTS},
    {FONT_TINY, "tiny.fon", RAW, PATH_FONTS},
    {FONT_KNIHA, "kniha.fon", RAW, PATH_FONTS},
    {FONT_TIMESE, "timese.fon", RAW, PATH_FONTS},
    {H_POSTAVY, "postavy.dat", RAW, PATH_MAPS},
    {H_SOUND_TABLE, "sound.dat", RAW, PATH_MAPS},
    {H_DIALOGY, "dialogy.dat", RAW, PATH_MAPS},
    {H_TELEPORT, "teleport.mgf", RAW, PATH_GUI},
    {H_ENEMY, "enemy.dat", decoder_id::enemy_converter, PATH_MAPS},
    {H_KOUZLA, "kouzla.dat", decoder_id::spell_converter, PATH_MAPS},
    {H_GLOBMAP, "globmap.dat", decoder_id::globmap_text, PATH_MAPS},
    {H_SOUND_SWD_HIT0, "swd_hit0.wav", SAMPLE, PATH_SOUNDS},
    {H_SOUND_SWD_HIT1, "swd_hit1.wav", SAMPLE, PATH_SOUNDS},
    {H_SOUND_SWD_MIS0, "swd_mis0.wav", SAMPLE, PATH_SOUNDS},
    {H_SOUND_SWD_MIS1, "swd_mis1.wav", SAMPLE, PATH_SOUNDS},
    {H_SOUND_SIP2, "sip2.wav", SAMPLE, PATH_SOUNDS},
    {H_SOUND_SIP1, "sip1.wav", SAMPLE, PATH_SOUNDS},
    {H_SOUND_KNIHA, "kniha.wav", SAMPLE, PATH_SOUNDS},
    {H_SOUND_OBCHOD, "obchod.wav", SAMPLE, PATH_SOUNDS},
    {H_SOUND_LEKTVAR, "lektvar.wav", SAMPLE, PATH_SOUNDS},
    {H_SOUND_TELEPIN, "telepin.wav", SAMPLE, PATH_SOUNDS},
    {H_SOUND_TELEPOUT, "telepout.wav", SAMPLE, PATH_SOUNDS},
    {H_SOUND_JAUU1M, "jauu1m.wav", SAMPLE, PATH_SOUNDS},
    {H_SOUND_JAUU2M, "jauu2m.wav", SAMPLE, PATH_SOUNDS},
    {H_SOUND_JAUU1F, "jauu1f.wav", SAMPLE, PATH_SOUNDS},
    {H_SOUND_JAUU2F, "jauu2f.wav", SAMPLE, PATH_SOUNDS},
    {H_SOUND_JIDLO, "jidlo.wav", SAMPLE, PATH_SOUNDS},
    {H_SOUND_OBLECI, "obleci.wav", SAMPLE, PATH_SOUNDS},
    {H_SOUND_PUT_INV, "put_inv.wav", SAMPLE, PATH_SOUNDS},
    {H_SOUND_FLETNA, "fletna.wav", SAMPLE, PATH_SOUNDS},
    {H_SOUND_SEVER, "sever.wav", SAMPLE, PATH_SOUNDS},
    {H_SOUND_VYCHOD, "vychod.wav", SAMPLE, PATH_SOUNDS},
    {H_SOUND_JIH, "jih.wav", SAMPLE, PATH_SOUNDS},
    {H_SOUND_ZAPAD, "zapad.wav", SAMPLE, PATH_SOUNDS},
    {H_SOUND_RANDOM1, "random1.wav", SAMPLE, PATH_SOUNDS},
    {H_SOUND_RANDOM2, "random2.wav", SAMPLE, PATH_SOUNDS},
    {H_SOUND_RANDOM3, "random3.wav", SAMPLE, PATH_SOUNDS},
    {H_SOUND_RANDOM4, "random4.wav", SAMPLE, PATH_SOUNDS},
    {H_EMPTY_PICTURE, "", decoder_id::no_data, PATH_GUI},
};
static_assert(std::size(fixed_table) == 113, "the fixed table has 113 rows");

struct generated_group {
    const char* pattern;
    handle_id first;
    int count;
};

constexpr generated_group generated_groups[] = {
    {"TELEP%02d.PCX", H_TELEP_FIRST, H_TELEP_COUNT},
    {"KILL%02d.PCX", H_KILL_FIRST, H_KILL_COUNT},
    {"ARMA%02d.PCX", H_ARMA_FIRST, H_ARMA_COUNT},
};

decoder_fn decoder_of(decoder_id id) {
    return id == RAW ? nullptr : decoder_for(id);
}

}  // namespace

void define_fixed_handles() {
    for (const fixed_handle& row : fixed_table)
        define_handle(row.id, row.name, decoder_of(row.decoder), row.folder);
    define_handle(H_PANEL, "", decoder_for(decoder_id::party_bar), PATH_DATA);
    for (const generated_group& group : generated_groups) {
        for (int i = 0; i < group.count; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, group.pattern, i);
            define_handle(static_cast<handle_id>(group.first + i), name, decoder_for(FADE), PATH_GUI);
        }
    }
}
