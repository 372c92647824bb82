#include "bench/catalogue_generator.h"

#include <array>
#include <cstdlib>
#include <random>
#include <string_view>
#include <vector>

#include "text/gbk.h"

namespace lumio::bench {
namespace {

// Words station names are made of: places, programme kinds and the usual endings.
constexpr std::array kPlaces{"北京", "天津", "河北", "山西", "山东", "辽宁",   "吉林",   "上海",
                             "广东", "江苏", "安徽", "福建", "江西", "浙江",   "湖南",   "湖北",
                             "河南", "四川", "重庆", "云南", "贵州", "广西",   "海南",   "陕西",
                             "甘肃", "宁夏", "青海", "新疆", "西藏", "内蒙古", "黑龙江", "深圳",
                             "杭州", "南京", "苏州", "厦门", "青岛", "大连",   "宁波"};
constexpr std::array kKinds{"交通", "音乐",   "新闻", "经济", "文艺", "故事", "体育", "都市",
                            "生活", "私家车", "农村", "旅游", "健康", "戏曲", "综合", "资讯",
                            "城市", "乡村",   "老年", "少儿", "教育", "评书", "相声", "流行",
                            "经典", "民族",   "英语", "财经", "汽车", "娱乐"};
constexpr std::array kEndings{"广播", "之声", "电台", "频率", "调频", "频道", "台"};

// Stations per content category 1..13 in the shipped catalogue.
constexpr std::array<int, 13> kContentWeights{41, 12,  91, 186, 247, 99, 70,
                                              12, 311, 80, 116, 82,  594};

constexpr std::array kHosts{"ngcdn001.cnr.cn",      "lhttp.qingting.fm", "live.xmcdn.com",
                            "satellitepull.cnr.cn", "stream3.hndt.com",  "audiolive.rbc.cn",
                            "play.radio.cn",        "sk.cri.cn"};
constexpr std::array kExtensions{".m3u8", ".mp3", ".aac", ".flv"};

std::string Gbk(std::string_view utf8) {
  auto gbk = Utf8ToGbk(utf8);
  if (!gbk) std::abort();  // the word lists above are all GBK characters
  return *gbk;
}

template <size_t N>
std::vector<std::string> GbkWords(const std::array<const char*, N>& utf8) {
  std::vector<std::string> words;
  for (const char* w : utf8)
    words.push_back(Gbk(w));
  return words;
}

class Generator {
 public:
  explicit Generator(uint32_t seed)
      : random_(seed),
        places_(GbkWords(kPlaces)),
        kinds_(GbkWords(kKinds)),
        endings_(GbkWords(kEndings)),
        content_(kContentWeights.begin(), kContentWeights.end()) {}

  StationRecord Next(int32_t nid) {
    StationRecord r;
    r.nid = nid;
    r.contentCategory = content_(random_) + 1;
    r.regionCategory = Uniform(1, 25);
    r.popularity = Uniform(0, 5);
    r.extraNumber = 0;
    r.timeStamp = 0;
    r.name = Name();
    r.url = Url(nid);
    return r;
  }

 private:
  int Uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }

  const std::string& Pick(const std::vector<std::string>& words) {
    return words[static_cast<size_t>(Uniform(0, static_cast<int>(words.size()) - 1))];
  }

  // Place + kind + ... + ending, cut or grown to 4..12 characters (two GBK bytes each).
  std::string Name() {
    const size_t wanted = static_cast<size_t>(Uniform(4, 12)) * 2;
    std::string name = Pick(places_);
    while (name.size() + 4 < wanted)
      name += Pick(kinds_);
    name += Pick(endings_);
    while (name.size() < wanted)
      name += Pick(kinds_);
    name.resize(wanted);
    return name;
  }

  // scheme://host/live/<id and letters><extension>, 40..80 bytes.
  std::string Url(int32_t nid) {
    const size_t wanted = static_cast<size_t>(Uniform(40, 80));
    std::string url = Uniform(0, 3) == 0 ? "https://" : "http://";
    url += kHosts[static_cast<size_t>(Uniform(0, static_cast<int>(kHosts.size()) - 1))];
    url += "/live/" + std::to_string(nid) + "/";
    const std::string_view ext =
        kExtensions[static_cast<size_t>(Uniform(0, static_cast<int>(kExtensions.size()) - 1))];
    static constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyz0123456789";
    while (url.size() + ext.size() < wanted)
      url += kLetters[static_cast<size_t>(Uniform(0, static_cast<int>(kLetters.size()) - 1))];
    url += ext;
    return url;
  }

  std::mt19937 random_;
  std::vector<std::string> places_;
  std::vector<std::string> kinds_;
  std::vector<std::string> endings_;
  std::discrete_distribution<int> content_;
};

}  // namespace

StationList MakeCatalogue(size_t count, uint32_t seed) {
  Generator generator(seed);
  StationList records;
  for (size_t i = 0; i < count; ++i)
    records.push_back(generator.Next(static_cast<int32_t>(i + 1)));
  return records;
}

const std::string& CommonNameWord() {
  static const std::string word = Gbk("交通");
  return word;
}

}  // namespace lumio::bench
