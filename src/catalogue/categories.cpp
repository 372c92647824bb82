#include "catalogue/categories.h"

#include "text/literal.h"

namespace lumio {
namespace {

std::vector<std::string> ToGbk(std::initializer_list<std::string_view> utf8) {
  std::vector<std::string> texts;
  for (std::string_view t : utf8)
    texts.push_back(Literal(t).gbk());
  return texts;
}

}  // namespace

const std::vector<std::string>& ContentCategoryNames() {
  static const std::vector<std::string> names =
      ToGbk({"中央", "港澳", "海外", "新闻", "音乐", "网络", "英语", "体育", "交通", "经济", "都市",
             "综艺", "综合", "收藏", "最近"});
  return names;
}

const std::vector<std::string>& RegionCategoryNames() {
  static const std::vector<std::string> names =
      ToGbk({"北京", "天津", "河北", "山西", "山东", "辽宁", "吉林", "上海", "广东", "江苏", "安徽",
             "福建", "江西", "浙江", "湖南", "湖北", "河南", "西南", "其他"});
  return names;
}

const std::vector<std::string>& CategoryNames(int32_t kind) {
  return kind == kRegionCategories ? RegionCategoryNames() : ContentCategoryNames();
}

bool MatchesCategory(int32_t kind, int32_t row, const StationRecord& record) {
  const int64_t n = int64_t{row} + 1;
  if (kind == kContentCategories) return record.contentCategory == n;
  const int32_t region = record.regionCategory;
  if (n == 18) return region >= 21 && region <= 24;                                  // 西南
  if (n == 19) return region == 10 || region == 19 || region == 20 || region == 25;  // 其他
  const int64_t wanted = (n >= 10 && n <= 17) ? n + 1 : n;  // region numbers skip 10
  return region == wanted;
}

void FillView(int32_t kind, int32_t row, const StationList& catalogue,
              const StationList& favourites, const StationList& history, StationList& view) {
  view.clear();
  if (kind == kContentCategories && row == kFavouritesRow) {
    view = favourites;
    return;
  }
  if (kind == kContentCategories && row == kHistoryRow) {
    view = history;
    return;
  }
  for (const StationRecord& r : catalogue)
    if (MatchesCategory(kind, row, r)) view.push_back(r);
}

}  // namespace lumio
