// SPDX-License-Identifier: GPL-3.0-or-later
// An ALSA control plugin that emulates the mixer of a sound card for the tests. In an ALSA
// configuration:
//
//   ctl_type.tessmar_test { lib "/path/to/libasound_module_ctl_tessmar_test.so" }
//   ctl.older { type tessmar_test layout "older" state "/tmp/…/older.state" }
//
// layout picks the card (TestCardLayouts.h). The element values are kept in the state
// file, one line "element name=value value …" per element, read when the device is opened
// and rewritten after every change, so that each opening sees the last one's changes and
// the test can read them. Like a kernel driver it reports every change as an event.

#include "TestCardLayouts.h"

#include <alsa/asoundlib.h>
#include <alsa/control_external.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <deque>
#include <fstream>
#include <sstream>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>

namespace {

using tessmar::test::CardControl;

constexpr unsigned kTlvDbScaleMute = 0x10000; // the lowest value silences

struct Element {
    CardControl control;
    std::vector<long> values;
};

class TestCard {
public:
    TestCard(std::vector<CardControl> layout, std::string statePath)
        : statePath_(std::move(statePath)), eventFd_(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {
        for (CardControl& control : layout) {
            const std::vector<long> values(control.channels, control.initial);
            elements_.push_back({std::move(control), values});
        }
        Load();
    }
    ~TestCard() {
        if (eventFd_ >= 0) {
            ::close(eventFd_);
        }
    }
    TestCard(const TestCard&) = delete;
    TestCard& operator=(const TestCard&) = delete;

    snd_ctl_ext_t ext{};
    std::vector<Element> elements_;

    int Find(const char* name) const {
        for (std::size_t i = 0; i < elements_.size(); ++i) {
            if (elements_[i].control.name == name) {
                return static_cast<int>(i);
            }
        }
        return -1;
    }

    // A card behind a stopped sound server: every write waits this long first.
    int stallMs = 0;

    int Write(std::size_t index, const long* values) {
        if (stallMs > 0) {
            std::this_thread::sleep_for(std::chrono::milliseconds(stallMs));
        }
        Element& element = elements_[index];
        bool changed = false;
        for (std::size_t c = 0; c < element.values.size(); ++c) {
            if (values[c] < element.control.minimum || values[c] > element.control.maximum) {
                return -EINVAL;
            }
            changed |= element.values[c] != values[c];
            element.values[c] = values[c];
        }
        if (changed) {
            Save();
            if (ext.subscribed) {
                events_.push_back(index);
                const std::uint64_t one = 1;
                [[maybe_unused]] auto written = ::write(eventFd_, &one, sizeof one);
            }
        }
        return changed ? 1 : 0;
    }

    int ReadEvent(snd_ctl_elem_id_t* id, unsigned* mask) {
        if (events_.empty()) {
            std::uint64_t count = 0;
            [[maybe_unused]] auto read = ::read(eventFd_, &count, sizeof count);
            return -EAGAIN;
        }
        const std::size_t index = events_.front();
        events_.pop_front();
        snd_ctl_elem_id_clear(id);
        snd_ctl_elem_id_set_numid(id, static_cast<unsigned>(index + 1));
        snd_ctl_elem_id_set_interface(id, SND_CTL_ELEM_IFACE_MIXER);
        snd_ctl_elem_id_set_name(id, elements_[index].control.name.c_str());
        *mask = SND_CTL_EVENT_MASK_VALUE;
        return 1;
    }

    int pollFd() const { return eventFd_; }

private:
    void Load() {
        std::ifstream in(statePath_);
        std::string line;
        while (std::getline(in, line)) {
            const auto equals = line.rfind('=');
            const int index = Find(line.substr(0, equals).c_str());
            if (equals == std::string::npos || index < 0) {
                continue;
            }
            std::istringstream values(line.substr(equals + 1));
            for (long& value : elements_[static_cast<std::size_t>(index)].values) {
                values >> value;
            }
        }
    }

    void Save() const {
        std::ofstream out(statePath_, std::ios::trunc);
        for (const Element& element : elements_) {
            out << element.control.name << '=';
            for (std::size_t c = 0; c < element.values.size(); ++c) {
                out << (c ? " " : "") << element.values[c];
            }
            out << '\n';
        }
    }

    std::string statePath_;
    int eventFd_;
    std::deque<std::size_t> events_;
};

TestCard& CardOf(snd_ctl_ext_t* ext) {
    return *static_cast<TestCard*>(ext->private_data);
}
Element& ElementOf(snd_ctl_ext_t* ext, snd_ctl_ext_key_t key) {
    return CardOf(ext).elements_[key];
}

void Close(snd_ctl_ext_t* ext) {
    delete &CardOf(ext);
}

int ElementCount(snd_ctl_ext_t* ext) {
    return static_cast<int>(CardOf(ext).elements_.size());
}

int ElementList(snd_ctl_ext_t* ext, unsigned offset, snd_ctl_elem_id_t* id) {
    snd_ctl_elem_id_set_interface(id, SND_CTL_ELEM_IFACE_MIXER);
    snd_ctl_elem_id_set_name(id, CardOf(ext).elements_.at(offset).control.name.c_str());
    return 0;
}

snd_ctl_ext_key_t FindElement(snd_ctl_ext_t* ext, const snd_ctl_elem_id_t* id) {
    const unsigned numid = snd_ctl_elem_id_get_numid(id);
    if (numid > 0 && numid <= CardOf(ext).elements_.size()) {
        return numid - 1;
    }
    const int index = CardOf(ext).Find(snd_ctl_elem_id_get_name(id));
    return index < 0 ? SND_CTL_EXT_KEY_NOT_FOUND : static_cast<snd_ctl_ext_key_t>(index);
}

int GetAttribute(snd_ctl_ext_t* ext, snd_ctl_ext_key_t key, int* type, unsigned* access,
                 unsigned* count) {
    const Element& element = ElementOf(ext, key);
    *type = element.control.type;
    *access = SND_CTL_EXT_ACCESS_READWRITE;
    if (element.control.db) {
        *access |= SND_CTL_EXT_ACCESS_TLV_READ | SND_CTL_EXT_ACCESS_TLV_CALLBACK;
    }
    *count = element.control.channels;
    return 0;
}

int GetIntegerInfo(snd_ctl_ext_t* ext, snd_ctl_ext_key_t key, long* minimum, long* maximum,
                   long* step) {
    *minimum = ElementOf(ext, key).control.minimum;
    *maximum = ElementOf(ext, key).control.maximum;
    *step = 1;
    return 0;
}

int GetEnumeratedInfo(snd_ctl_ext_t* ext, snd_ctl_ext_key_t key, unsigned* items) {
    *items = static_cast<unsigned>(ElementOf(ext, key).control.entries.size());
    return 0;
}

int GetEnumeratedName(snd_ctl_ext_t* ext, snd_ctl_ext_key_t key, unsigned item, char* name,
                      size_t size) {
    const auto& entries = ElementOf(ext, key).control.entries;
    if (item >= entries.size() || size == 0) {
        return -EINVAL;
    }
    std::snprintf(name, size, "%s", entries[item].c_str());
    return 0;
}

int ReadInteger(snd_ctl_ext_t* ext, snd_ctl_ext_key_t key, long* values) {
    const Element& element = ElementOf(ext, key);
    std::copy(element.values.begin(), element.values.end(), values);
    return 0;
}

int WriteInteger(snd_ctl_ext_t* ext, snd_ctl_ext_key_t key, long* values) {
    return CardOf(ext).Write(key, values);
}

int ReadEnumerated(snd_ctl_ext_t* ext, snd_ctl_ext_key_t key, unsigned* items) {
    const Element& element = ElementOf(ext, key);
    for (std::size_t c = 0; c < element.values.size(); ++c) {
        items[c] = static_cast<unsigned>(element.values[c]);
    }
    return 0;
}

int WriteEnumerated(snd_ctl_ext_t* ext, snd_ctl_ext_key_t key, unsigned* items) {
    std::vector<long> values(items, items + ElementOf(ext, key).values.size());
    return CardOf(ext).Write(key, values.data());
}

// The dB scale as a driver declares it: type, length in bytes, lowest gain, step and flag.
int ReadTlv(snd_ctl_ext_t* ext, snd_ctl_ext_key_t key, int write, unsigned, unsigned* tlv,
            unsigned size) {
    const auto& db = ElementOf(ext, key).control.db;
    if (write || !db) {
        return -ENXIO;
    }
    if (size < 4 * sizeof(unsigned)) {
        return -ENOMEM;
    }
    tlv[0] = SND_CTL_TLVT_DB_SCALE;
    tlv[1] = 2 * sizeof(unsigned);
    tlv[2] = static_cast<unsigned>(db->lowest);
    tlv[3] = static_cast<unsigned>(db->step) | (db->mute ? kTlvDbScaleMute : 0);
    return 0;
}

void SubscribeEvents(snd_ctl_ext_t* ext, int subscribe) {
    ext->subscribed = subscribe;
}

int ReadEvent(snd_ctl_ext_t* ext, snd_ctl_elem_id_t* id, unsigned* mask) {
    return CardOf(ext).ReadEvent(id, mask);
}

const snd_ctl_ext_callback_t kCallbacks = [] {
    snd_ctl_ext_callback_t callbacks{};
    callbacks.close = Close;
    callbacks.elem_count = ElementCount;
    callbacks.elem_list = ElementList;
    callbacks.find_elem = FindElement;
    callbacks.get_attribute = GetAttribute;
    callbacks.get_integer_info = GetIntegerInfo;
    callbacks.get_enumerated_info = GetEnumeratedInfo;
    callbacks.get_enumerated_name = GetEnumeratedName;
    callbacks.read_integer = ReadInteger;
    callbacks.write_integer = WriteInteger;
    callbacks.read_enumerated = ReadEnumerated;
    callbacks.write_enumerated = WriteEnumerated;
    callbacks.subscribe_events = SubscribeEvents;
    callbacks.read_event = ReadEvent;
    return callbacks;
}();

std::string StringSetting(snd_config_t* setting) {
    const char* text = nullptr;
    return snd_config_get_string(setting, &text) >= 0 && text ? text : "";
}

} // namespace

extern "C" {

SND_CTL_PLUGIN_DEFINE_FUNC(tessmar_test) {
    (void)root;
    std::string layout;
    std::string state;
    long stallMs = 0;
    snd_config_iterator_t i;
    snd_config_iterator_t next;
    snd_config_for_each(i, next, conf) {
        snd_config_t* setting = snd_config_iterator_entry(i);
        const char* id = nullptr;
        if (snd_config_get_id(setting, &id) < 0) {
            continue;
        }
        if (std::strcmp(id, "layout") == 0) {
            layout = StringSetting(setting);
        } else if (std::strcmp(id, "state") == 0) {
            state = StringSetting(setting);
        } else if (std::strcmp(id, "stall") == 0) {
            snd_config_get_integer(setting, &stallMs);
        } else if (std::strcmp(id, "type") != 0 && std::strcmp(id, "comment") != 0) {
            SNDERR("Unknown field %s", id);
            return -EINVAL;
        }
    }
    auto elements = tessmar::test::CardLayout(layout);
    if (elements.empty() || state.empty()) {
        SNDERR("tessmar_test needs a known layout and a state file");
        return -EINVAL;
    }
    auto* card = new TestCard(std::move(elements), state);
    card->stallMs = int(stallMs);
    snd_ctl_ext_t& ext = card->ext;
    ext.version = SND_CTL_EXT_VERSION;
    ext.card_idx = 0;
    std::snprintf(ext.id, sizeof ext.id, "TessmarTest");
    std::snprintf(ext.driver, sizeof ext.driver, "tessmar_test");
    std::snprintf(ext.name, sizeof ext.name, "Tessmar %s card", layout.c_str());
    std::snprintf(ext.longname, sizeof ext.longname, "Tessmar test card (%s)", layout.c_str());
    std::snprintf(ext.mixername, sizeof ext.mixername, "Tessmar %s mixer", layout.c_str());
    ext.poll_fd = card->pollFd();
    ext.callback = &kCallbacks;
    ext.tlv.c = ReadTlv;
    ext.private_data = card;
    const int err = snd_ctl_ext_create(&ext, name, mode);
    if (err < 0) {
        delete card;
        return err;
    }
    *handlep = ext.handle;
    return 0;
}

SND_CTL_PLUGIN_SYMBOL(tessmar_test)

} // extern "C"
