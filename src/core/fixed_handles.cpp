// The resources every game needs, at fixed handle numbers.
#include <array>
#include <cstdio>

#include "core/decoders.h"

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
    {0, "desk.pcx", PAL8, PATH_GUI},
    {51, "msc_sip.pcx", PAL8, PATH_GUI},
    {52, "msc_x.pcx", PAL8, PATH_GUI},
    {53, "msc_who.pcx", PAL8, PATH_GUI},
    {55, "msc_zare.pcx", PAL8, PATH_GUI},
    {4, "sipky_s.pcx", PAL8, PATH_GUI},
    {8, "sipky_sv.pcx", PAL8, PATH_GUI},
    {9, "sipky_sz.pcx", PAL8, PATH_GUI},
    {5, "sipky_v.pcx", PAL8, PATH_GUI},
    {7, "sipky_z.pcx", PAL8, PATH_GUI},
    {6, "sipky_j.pcx", PAL8, PATH_GUI},
    {10, "backmap.pcx", PAL8, PATH_GUI},
    {11, "ioblouk.pcx", PAL8, PATH_GUI},
    {12, "ideska.pcx", PAL8, PATH_GUI},
    {13, "imriz1.pcx", PAL8, PATH_GUI},
    {14, "ramecek.pcx", PAL8, PATH_GUI},
    {33, "souboje.pcx", PAL8, PATH_GUI},
    {34, "m_souboj.pcx", PAL8, PATH_GUI},
    {35, "mzasah1.pcx", PAL8, PATH_GUI},
    {36, "mzasah2.pcx", PAL8, PATH_GUI},
    {37, "mzasah3.pcx", PAL8, PATH_GUI},
    {38, "pzasah.pcx", PAL8, PATH_GUI},
    {39, "souboje2.pcx", PAL8, PATH_GUI},
    {40, "sipky.pcx", PAL8, PATH_GUI},
    {41, "death.pcx", PAL8, PATH_GUI},
    {68, "runehole.pcx", PAL8, PATH_GUI},
    {69, "runemask.pcx", PAL8, PATH_GUI},
    {25, "powerbar.pcx", PAL8, PATH_GUI},
    {26, "powerled.pcx", PAL8, PATH_GUI},
    {100, "r_ohen.pcx", PAL8, PATH_GUI},
    {101, "r_voda.pcx", PAL8, PATH_GUI},
    {102, "r_zeme.pcx", PAL8, PATH_GUI},
    {103, "r_vzduch.pcx", PAL8, PATH_GUI},
    {104, "r_mysl.pcx", PAL8, PATH_GUI},
    {105, "spelldef.pcx", PAL8, PATH_GUI},
    {43, "kniha.pcx", PAL8, PATH_GUI},
    {45, "wintxtr.pcx", PAL8, PATH_GUI},
    {46, "saveload.pcx", PAL8, PATH_GUI},
    {47, "svitek.pcx", PAL8, PATH_GUI},
    {48, "loadtxtr.pcx", PAL8, PATH_GUI},
    {50, "dialog.pcx", PAL8, PATH_GUI},
    {125, "shop.pcx", PAL8, PATH_GUI},
    {143, "fx.pcx", PAL8, PATH_GUI},
    {154, "checkbox.pcx", PAL8, PATH_GUI},
    {155, "volbades.pcx", PAL8, PATH_GUI},
    {156, "volbasou.pcx", PAL8, PATH_GUI},
    {157, "volbazpe.pcx", PAL8, PATH_GUI},
    {158, "postup.pcx", PAL8, PATH_GUI},
    {168, "stupnice.pcx", PAL8, PATH_GUI},
    {179, "chargen.pcx", PAL8, PATH_GUI},
    {180, "chargenb.pcx", PAL8, PATH_GUI},
    {183, "krevmin.pcx", PAL8, PATH_GUI},
    {184, "krevmid.pcx", PAL8, PATH_GUI},
    {185, "krevmax.pcx", PAL8, PATH_GUI},
    {1, "topbar.pcx", HICOLOR, PATH_GUI},
    {2, "okno.pcx", HICOLOR, PATH_GUI},
    {3, "kompas.pcx", HICOLOR, PATH_GUI},
    {27, "lodka.pcx", PCX_1040, PATH_GUI},
    {42, "bones.pcx", FADE, PATH_GUI},
    {159, "lesda21a.pcx", FADE, PATH_GRAPHICS},
    {160, "lesda22a.pcx", FADE, PATH_GRAPHICS},
    {161, "lesda23a.pcx", FADE, PATH_GRAPHICS},
    {162, "lesda24a.pcx", FADE, PATH_GRAPHICS},
    {163, "lesda25a.pcx", FADE, PATH_GRAPHICS},
    {164, "lesda26a.pcx", FADE, PATH_GRAPHICS},
    {165, "lesda27a.pcx", FADE, PATH_GRAPHICS},
    {166, "lesda28a.pcx", FADE, PATH_GRAPHICS},
    {169, "stupni_m.pcx", NOPAL, PATH_GUI},
    {181, "chargenm.pcx", NOPAL, PATH_GUI},
    {16, "sada16.fon", RAW, PATH_FONTS},
    {17, "ikones.fon", RAW, PATH_FONTS},
    {18, "font4x8.fon", RAW, PATH_FONTS},
    {19, "font5x8.fon", RAW, PATH_FONTS},
    {20, "font6x9.fon", RAW, PATH_FONTS},
    {21, "sada7.fon", RAW, PATH_FONTS},
    {22, "tiny.fon", RAW, PATH_FONTS},
    {23, "kniha.fon", RAW, PATH_FONTS},
    {178, "timese.fon", RAW, PATH_FONTS},
    {76, "postavy.dat", RAW, PATH_MAPS},
    {77, "sound.dat", RAW, PATH_MAPS},
    {49, "dialogy.dat", RAW, PATH_MAPS},
    {108, "teleport.mgf", RAW, PATH_GUI},
    {15, "enemy.dat", decoder_id::enemy_converter, PATH_MAPS},
    {24, "kouzla.dat", decoder_id::spell_converter, PATH_MAPS},
    {200, "globmap.dat", decoder_id::globmap_text, PATH_MAPS},
    {78, "swd_hit0.wav", SAMPLE, PATH_SOUNDS},
    {79, "swd_hit1.wav", SAMPLE, PATH_SOUNDS},
    {80, "swd_mis0.wav", SAMPLE, PATH_SOUNDS},
    {81, "swd_mis1.wav", SAMPLE, PATH_SOUNDS},
    {82, "sip2.wav", SAMPLE, PATH_SOUNDS},
    {83, "sip1.wav", SAMPLE, PATH_SOUNDS},
    {84, "kniha.wav", SAMPLE, PATH_SOUNDS},
    {85, "obchod.wav", SAMPLE, PATH_SOUNDS},
    {86, "lektvar.wav", SAMPLE, PATH_SOUNDS},
    {87, "telepin.wav", SAMPLE, PATH_SOUNDS},
    {88, "telepout.wav", SAMPLE, PATH_SOUNDS},
    {89, "jauu1m.wav", SAMPLE, PATH_SOUNDS},
    {90, "jauu2m.wav", SAMPLE, PATH_SOUNDS},
    {91, "jauu1f.wav", SAMPLE, PATH_SOUNDS},
    {92, "jauu2f.wav", SAMPLE, PATH_SOUNDS},
    {93, "jidlo.wav", SAMPLE, PATH_SOUNDS},
    {94, "obleci.wav", SAMPLE, PATH_SOUNDS},
    {95, "put_inv.wav", SAMPLE, PATH_SOUNDS},
    {167, "fletna.wav", SAMPLE, PATH_SOUNDS},
    {170, "sever.wav", SAMPLE, PATH_SOUNDS},
    {171, "vychod.wav", SAMPLE, PATH_SOUNDS},
    {172, "jih.wav", SAMPLE, PATH_SOUNDS},
    {173, "zapad.wav", SAMPLE, PATH_SOUNDS},
    {174, "random1.wav", SAMPLE, PATH_SOUNDS},
    {175, "random2.wav", SAMPLE, PATH_SOUNDS},
    {176, "random3.wav", SAMPLE, PATH_SOUNDS},
    {177, "random4.wav", SAMPLE, PATH_SOUNDS},
    {182, "", decoder_id::no_data, PATH_GUI},
};
static_assert(std::size(fixed_table) == 113, "the fixed table has 113 rows");

struct generated_group {
    const char* pattern;
    handle_id first;
    int count;
};

constexpr generated_group generated_groups[] = {
    {"TELEP%02d.PCX", 129, 14},
    {"KILL%02d.PCX", 144, 10},
    {"ARMA%02d.PCX", 186, 13},
};

decoder_fn decoder_of(decoder_id id) {
    return id == RAW ? nullptr : decoder_for(id);
}

}  // namespace

void define_fixed_handles() {
    for (const fixed_handle& row : fixed_table)
        define_handle(row.id, row.name, decoder_of(row.decoder), row.folder);
    define_handle(66, "", decoder_for(decoder_id::party_bar), PATH_DATA);
    for (const generated_group& group : generated_groups) {
        for (int i = 0; i < group.count; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, group.pattern, i);
            define_handle(static_cast<handle_id>(group.first + i), name, decoder_for(FADE), PATH_GUI);
        }
    }
}
