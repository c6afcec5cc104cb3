#include "gui/ListTypeAhead.h"

#include <wx/ctrlsub.h>
#include <wx/window.h>

#include <dlfcn.h>

#include <cstdint>

namespace tv::gui {

namespace {

// GTK se busca al ejecutar: no hay cabeceras de GTK en el programa.
struct Gtk {
  using Connect = unsigned long (*)(void*, const char*, void*, void*, void*, int);
  using ToWidget = void* (*)(void*);
  using GetData = void* (*)(void*, const char*);
  using SetData = void (*)(void*, const char*, void*);
  using TypeFn = std::uintptr_t (*)();
  using IsA = int (*)(void*, std::uintptr_t);
  using Children = void* (*)(void*);
  using Free = void (*)(void*);
  using Select = void (*)(void*, void*);
  using Keyval = int (*)(const void*, unsigned*);
  using State = int (*)(const void*, unsigned*);
  using EventType = int (*)(const void*);
  using ToUnicode = std::uint32_t (*)(unsigned);

  Connect connect = reinterpret_cast<Connect>(dlsym(RTLD_DEFAULT, "g_signal_connect_data"));
  ToWidget popupAccessible = reinterpret_cast<ToWidget>(dlsym(RTLD_DEFAULT, "gtk_combo_box_get_popup_accessible"));
  ToWidget accessibleWidget = reinterpret_cast<ToWidget>(dlsym(RTLD_DEFAULT, "gtk_accessible_get_widget"));
  GetData getData = reinterpret_cast<GetData>(dlsym(RTLD_DEFAULT, "g_object_get_data"));
  SetData setData = reinterpret_cast<SetData>(dlsym(RTLD_DEFAULT, "g_object_set_data"));
  TypeFn menuType = reinterpret_cast<TypeFn>(dlsym(RTLD_DEFAULT, "gtk_menu_get_type"));
  IsA isA = reinterpret_cast<IsA>(dlsym(RTLD_DEFAULT, "g_type_check_instance_is_a"));
  Children children = reinterpret_cast<Children>(dlsym(RTLD_DEFAULT, "gtk_container_get_children"));
  Free listFree = reinterpret_cast<Free>(dlsym(RTLD_DEFAULT, "g_list_free"));
  ToWidget selectedItem = reinterpret_cast<ToWidget>(dlsym(RTLD_DEFAULT, "gtk_menu_shell_get_selected_item"));
  Select selectItem = reinterpret_cast<Select>(dlsym(RTLD_DEFAULT, "gtk_menu_shell_select_item"));
  Keyval keyval = reinterpret_cast<Keyval>(dlsym(RTLD_DEFAULT, "gdk_event_get_keyval"));
  State state = reinterpret_cast<State>(dlsym(RTLD_DEFAULT, "gdk_event_get_state"));
  EventType eventType = reinterpret_cast<EventType>(dlsym(RTLD_DEFAULT, "gdk_event_get_event_type"));
  ToUnicode toUnicode = reinterpret_cast<ToUnicode>(dlsym(RTLD_DEFAULT, "gdk_keyval_to_unicode"));

  bool Ok() const {
    return connect && popupAccessible && accessibleWidget && getData && setData && menuType && isA && children &&
           listFree && selectedItem && selectItem && eventType && keyval && state && toUnicode;
  }
};

const Gtk& G() {
  static const Gtk g;
  return g;
}

struct GList {
  void* data;
  GList* next;
  GList* prev;
};

constexpr int kKeyPress = 8;
constexpr unsigned kControl = 1u << 2, kAlt = 1u << 3;
constexpr const char* kMarca = "tv-letras-en-lista";

// Una letra en la lista abierta: resalta el siguiente elemento que empieza por ella, dando la
// vuelta, como en la lista cerrada. Lo demás (flechas, Enter, Esc) queda para la lista.
int OnMenuKey(void* menu, void* event, void* data) {
  const Gtk& g = G();
  if (g.eventType(event) != kKeyPress) return 0;
  unsigned kv = 0, st = 0;
  if (!g.keyval(event, &kv)) return 0;
  g.state(event, &st);
  if (st & (kControl | kAlt)) return 0;
  std::uint32_t uc = g.toUnicode(kv);
  if (uc <= 32 || uc == 127) return 0;
  auto* items = dynamic_cast<wxItemContainer*>(static_cast<wxWindow*>(data));
  if (!items) return 0;
  auto* first = static_cast<GList*>(g.children(menu));
  int n = 0, actual = -1;
  void* resaltado = g.selectedItem(menu);
  for (GList* l = first; l; l = l->next, ++n)
    if (l->data == resaltado) actual = n;
  // Solo si el menú es la lista tal cual (un renglón por elemento).
  if (n != static_cast<int>(items->GetCount()) || n == 0) {
    g.listFree(first);
    return 0;
  }
  wxString letra = wxString(wxUniChar(uc)).Upper();
  for (int k = 1; k <= n; ++k) {
    int i = (actual + k + n) % n;
    if (items->GetString(i).Left(1).Upper() == letra) {
      GList* l = first;
      for (int j = 0; j < i; ++j) l = l->next;
      g.selectItem(menu, l->data);
      break;
    }
  }
  g.listFree(first);
  return 1;  // una letra no va al menú (sus atajos no aplican a la lista)
}

// La lista de GTK se crea al desplegarse la primera vez; se engancha entonces, una sola vez.
void OnPopupShown(void* combo, void*, void* data) {
  const Gtk& g = G();
  void* acc = g.popupAccessible(combo);
  void* popup = acc ? g.accessibleWidget(acc) : nullptr;
  if (!popup || !g.isA(popup, g.menuType()) || g.getData(popup, kMarca)) return;
  g.setData(popup, kMarca, popup);
  // En "event", que va antes que "key-press-event": ahí la lista del combo se queda con toda
  // tecla.
  g.connect(popup, "event", reinterpret_cast<void*>(&OnMenuKey), data, nullptr, 0);
}

}  // namespace

void LettersChooseInOpenList(wxWindow* combo) {
  const Gtk& g = G();
  if (!g.Ok() || !combo || !combo->GetHandle()) return;
  g.connect(combo->GetHandle(), "notify::popup-shown", reinterpret_cast<void*>(&OnPopupShown), combo, nullptr, 0);
}

}  // namespace tv::gui
