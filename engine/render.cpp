// Amounts and domain names rendered without the dictionary.
//
// Amount. An optional leading "RMB" (any case) gives the label 人民币, otherwise the label is
// 金额. Commas are dropped; a period must follow a digit or, as the query's first byte, precede
// one, and there is at most one. The number ends at the first byte that is neither a digit nor a
// period ("3d" is the amount 3), which must not be the first byte; the text, counted in full, is
// 1 to 40 bytes. A number of value 0 reads 零元整. Otherwise the fraction is brought to two digits
// and the digits are walked from the highest place down: a non-zero digit writes the pending 零,
// its capital and its unit (拾 佰 仟 inside a group of four, 元 万 亿 万 at the heads of the
// groups, 角 分 in the fraction); a zero digit inside a group leaves 零 pending, one at a group's
// head writes the group's unit and clears the pending 零. 整 closes an amount without fraction.
// A leading 元, then a leading 零, is removed.
//
// A group of four zeros writes no unit: 100000000 reads 壹亿元整. 元 is always written; 亿 also
// when a higher digit is non-zero, as the 万 above it counts in 亿 (1000000000000 reads
// 壹万亿元整). The pending 零 is cleared at every group head all the same, so 100001000 reads
// 壹亿壹仟元整, a 零 that cheques may leave out.
//
// Examples: 100 壹佰元整; 1001 壹仟零壹元整; 10000 壹万元整; 100010000 壹亿零壹万元整;
// 1234.5 壹仟贰佰叁拾肆元伍角; 10.01 壹拾元零壹分; 0.05 伍分; 0 零元整.
//
// The units suit at most 16 integer digits: the 17th digit takes 拾 as its group's unit, and
// from the 37th on a group head takes none. An amount below one fen that is not 0 keeps only its
// 整 (0.001 reads 整).
//
// Domain name. The query is 1 to 63 bytes and holds at least two periods. Labels are cut off
// from the right at each period, eight at most; every byte but the first must be a period or an
// ASCII letter. When the scan reaches the first byte, the part before the leftmost period is the
// last label, unless the query begins with a period. The four rightmost labels are named from
// the domain table where a row matches; the others stay as they are. The rendering joins them
// with periods; an empty label at the right end adds no period.
#include "render.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

namespace lxtran {

const DomainRow kDomainTable[kDomainRowCount] = {
    {"www", "\xcd\xf2\xce\xac\xcd\xf8"},                                    // 万维网
    {"ftp", "\xce\xc4\xbc\xfe\xb4\xab\xca\xe4"},                            // 文件传输
    {"bbs", "\xb9\xab\xb8\xe6\xb0\xe5"},                                    // 公告板
    {"firm", "\xc6\xf3\xd2\xb5\xb9\xab\xcb\xbe"},                           // 企业公司
    {"store", "\xcf\xfa\xca\xdb\xc6\xf3\xd2\xb5"},                          // 销售企业
    {"nom", "\xb8\xf6\xcc\xe5\xb8\xf6\xc8\xcb\xc3\xfc\xc3\xfb"},            // 个体个人命名
    {"web", "\xd3\xebWWW\xbb\xee\xb6\xaf\xcf\xe0\xb9\xd8\xb5\xa5\xce\xbb"}, // 与WWW活动相关单位
    {"rec", "\xd3\xe9\xc0\xd6"},                                            // 娱乐
    {"info", "\xd0\xc5\xcf\xa2"},                                           // 信息
    {"arts", "\xd2\xd5\xca\xf5\xce\xc4\xd2\xd5"},                           // 艺术文艺
    {"com", "\xb9\xab\xcb\xbe"},                                            // 公司
    {"edu", "\xbd\xcc\xd1\xd0\xbb\xfa\xb9\xb9"},                            // 教研机构
    {"gov", "\xd5\xfe\xb8\xae\xb2\xbf\xc3\xc5"},                            // 政府部门
    {"int", "\xb9\xfa\xbc\xca\xd7\xe9\xd6\xaf"},                            // 国际组织
    {"mil", "\xc3\xc0\xb9\xfa\xbe\xfc\xb2\xbf"},                            // 美国军部
    {"net", "\xcd\xf8\xc2\xe7\xb7\xfe\xce\xf1\xc9\xcc"},                    // 网络服务商
    {"org", "\xb7\xc7\xd3\xaf\xc0\xfb\xd7\xe9\xd6\xaf"},                    // 非盈利组织
    {"ad", "\xb0\xb2\xb5\xc0\xb6\xfb"},                                     // 安道尔
    {"ae", "\xb0\xa2\xc1\xaa\xc7\xf5"},                                     // 阿联酋
    {"af", "\xb0\xa2\xb8\xbb\xba\xb9"},                                     // 阿富汗
    {"ag", "\xb0\xb2\xcc\xe1\xb9\xcf\xba\xcd\xb0\xcd\xb2\xbc\xb4\xef"},     // 安提瓜和巴布达
    {"ai", "\xb0\xb2\xb8\xf1\xc0\xad"},                                     // 安格拉
    {"al", "\xb0\xa2\xb6\xfb\xb0\xcd\xc4\xe1\xd1\xc7"},                     // 阿尔巴尼亚
    {"am", "\xd1\xc7\xc3\xc0\xc4\xe1\xd1\xc7"},                             // 亚美尼亚
    {"an", "\xba\xc9\xc0\xbc\xca\xf4\xb5\xd8"},                             // 荷兰属地
    {"ao", "\xb0\xb2\xb8\xe7\xc0\xad"},                                     // 安哥拉
    {"aq", "\xc4\xcf\xbc\xab\xd6\xde"},                                     // 南极洲
    {"ar", "\xb0\xa2\xb8\xf9\xcd\xa2"},                                     // 阿根廷
    {"as", "\xb6\xab\xc8\xf8\xc4\xa6\xd1\xc7\xc8\xba\xb5\xba"},             // 东萨摩亚群岛
    {"at", "\xb0\xc2\xb5\xd8\xc0\xfb"},                                     // 奥地利
    {"au", "\xb0\xc4\xb4\xf3\xc0\xfb\xd1\xc7"},                             // 澳大利亚
    {"aw", "\xb0\xa2\xc2\xb3\xb0\xcd\xb5\xba"},                             // 阿鲁巴岛
    {"az", "\xb0\xa2\xc8\xfb\xb0\xdd\xbd\xae"},                             // 阿塞拜疆
    {"ba", "\xb2\xa8\xba\xda"},                                             // 波黑
    {"bb", "\xb0\xcd\xb0\xcd\xb6\xe0\xcb\xb9"},                             // 巴巴多斯
    {"bd", "\xc3\xcf\xbc\xd3\xc0\xad\xb9\xfa"},                             // 孟加拉国
    {"be", "\xb1\xc8\xc0\xfb\xca\xb1"},                                     // 比利时
    {"bf", "\xc4\xda\xbb\xf9\xc4\xc9\xb7\xa8\xcb\xf7"},                     // 内基纳法索
    {"bg", "\xb1\xa3\xbc\xd3\xc0\xfb\xd1\xc7"},                             // 保加利亚
    {"bh", "\xb0\xcd\xc1\xd6"},                                             // 巴林
    {"bi", "\xb2\xbc\xc2\xa1\xb5\xcf"},                                     // 布隆迪
    {"bj", "\xc4\xda\xc4\xfe"},                                             // 内宁
    {"bm", "\xb0\xd9\xc4\xbd\xb4\xf3"},                                     // 百慕大
    {"bn", "\xce\xc4\xc0\xb3"},                                             // 文莱
    {"bo", "\xb2\xa3\xc0\xfb\xce\xac\xd1\xc7"},                             // 玻利维亚
    {"br", "\xb0\xcd\xce\xf7"},                                             // 巴西
    {"bs", "\xb0\xcd\xb9\xfe\xc2\xed"},                                     // 巴哈马
    {"bt", "\xb2\xbb\xb5\xa4"},                                             // 不丹
    {"bv", "\xb2\xbc\xce\xa4\xb5\xba"},                                     // 布韦岛
    {"bw", "\xb2\xae\xd7\xcc\xcd\xdf\xc4\xc9"},                             // 伯滋瓦纳
    {"by", "\xb1\xb4\xc0\xad\xc8\xf4\xcb\xb9"},                             // 贝拉若斯
    {"bz", "\xb2\xae\xc0\xfb\xd7\xc8"},                                     // 伯利兹
    {"ca", "\xbc\xd3\xc4\xc3\xb4\xf3"},                                     // 加拿大
    {"cc", "\xbf\xc6\xbf\xc6\xcb\xb9\xc8\xba\xb5\xba"},                     // 科科斯群岛
    {"cf", "\xd6\xd0\xb7\xc7\xb9\xb2\xba\xcd\xb9\xfa"},                     // 中非共和国
    {"cg", "\xb8\xd5\xb9\xfb"},                                             // 刚果
    {"ch", "\xc8\xf0\xca\xbf"},                                             // 瑞士
    {"ci", "\xbf\xc6\xcc\xd8\xb5\xcf\xcd\xdf"},                             // 科特迪瓦
    {"ck", "\xbf\xe2\xbf\xcb\xc8\xba\xb5\xba"},                             // 库克群岛
    {"cl", "\xd6\xc7\xc0\xfb"},                                             // 智利
    {"cm", "\xbf\xa6\xc2\xf3\xc2\xa1"},                                     // 喀麦隆
    {"cn", "\xd6\xd0\xb9\xfa"},                                             // 中国
    {"co", "\xb8\xe7\xc2\xd7\xb1\xc8\xd1\xc7"},                             // 哥伦比亚
    {"cq", "\xb3\xe0\xb5\xc0\xbc\xb8\xc4\xda\xd1\xc7"},                     // 赤道几内亚
    {"cr", "\xb8\xe7\xcb\xb9\xb4\xef\xc0\xe8\xbc\xd3"},                     // 哥斯达黎加
    {"cu", "\xb9\xc5\xb0\xcd"},                                             // 古巴
    {"cv", "\xb7\xf0\xb5\xc3\xbd\xc7"},                                     // 佛得角
    {"cx", "\xca\xa5\xb5\xae\xb5\xba"},                                     // 圣诞岛
    {"cy", "\xc8\xfb\xc6\xd6\xc2\xb7\xcb\xb9"},                             // 塞浦路斯
    {"cz", "\xbd\xdd\xbf\xcb"},                                             // 捷克
    {"de", "\xb5\xc2\xb9\xfa"},                                             // 德国
    {"dj", "\xbc\xaa\xb2\xbc\xcc\xe1"},                                     // 吉布提
    {"dk", "\xb5\xa4\xc2\xf3"},                                             // 丹麦
    {"dm", "\xb6\xe0\xc3\xd7\xc4\xe1\xbc\xd3\xc1\xaa\xb0\xee"},             // 多米尼加联邦
    {"do", "\xb6\xe0\xc3\xd7\xc4\xe1\xbc\xd3\xb9\xb2\xba\xcd\xb9\xfa"},     // 多米尼加共和国
    {"dz", "\xb0\xa2\xb6\xfb\xbc\xb0\xc0\xfb\xd1\xc7"},                     // 阿尔及利亚
    {"ec", "\xb6\xf2\xb9\xcf\xb6\xe0\xb6\xfb"},                             // 厄瓜多尔
    {"ee", "\xb0\xae\xc9\xb3\xc4\xe1\xd1\xc7"},                             // 爱沙尼亚
    {"eg", "\xb0\xa3\xbc\xb0"},                                             // 埃及
    {"eh", "\xce\xf7\xc8\xf8\xc4\xa6\xd1\xc7"},                             // 西萨摩亚
    {"es", "\xce\xf7\xb0\xe0\xd1\xc0"},                                     // 西班牙
    {"et", "\xb0\xa3\xc8\xfb\xb6\xed\xb1\xc8\xd1\xc7"},                     // 埃塞俄比亚
    {"ev", "\xc8\xf8\xb6\xfb\xcd\xdf\xb6\xe0"},                             // 萨尔瓦多
    {"fi", "\xb7\xd2\xc0\xbc"},                                             // 芬兰
    {"fj", "\xc5\xe1\xbc\xc3"},                                             // 裴济
    {"fk", "\xb8\xa3\xbf\xcb\xc0\xbc\xc8\xba\xb5\xba"},                     // 福克兰群岛
    {"fm", "\xc3\xdc\xbf\xcb\xc2\xde\xc4\xe1\xce\xf7\xd1\xc7"},             // 密克罗尼西亚
    {"fo", "\xb7\xa8\xc2\xde\xc8\xba\xb5\xba"},                             // 法罗群岛
    {"fr", "\xb7\xa8\xb9\xfa"},                                             // 法国
    {"ga", "\xb8\xea\xb1\xbe"},                                             // 戈本
    {"gb", "\xb4\xf3\xb2\xbb\xc1\xd0\xb5\xdf\xc1\xaa\xba\xcf\xcd\xf5\xb9\xfa"}, // 大不列颠联合王国
    {"gd", "\xb8\xf1\xc1\xd6\xc4\xc9\xb4\xef"},                                 // 格林纳达
    {"ge", "\xc7\xc7\xd6\xce\xd1\xc7"},                                         // 乔治亚
    {"gf", "\xb7\xa8\xca\xf4\xb9\xe7\xd1\xc7\xc4\xc7"},                         // 法属圭亚那
    {"gh", "\xbc\xd3\xc4\xc9"},                                                 // 加纳
    {"gi", "\xd6\xb1\xb2\xbc\xc2\xde\xcd\xd3"},                                 // 直布罗陀
    {"gl", "\xb8\xf1\xc1\xea\xc0\xbc\xc8\xba\xb5\xba"},                         // 格陵兰群岛
    {"gm", "\xb8\xd4\xb1\xc8\xd1\xc7"},                                         // 冈比亚
    {"gn", "\xbc\xb8\xc4\xda\xd1\xc7"},                                         // 几内亚
    {"gp", "\xb9\xcf\xb5\xc2\xc2\xde\xc6\xd5\xb5\xba"},                         // 瓜德罗普岛
    {"gr", "\xcf\xa3\xc0\xb0"},                                                 // 希腊
    {"gt", "\xce\xa3\xb5\xd8\xc2\xed\xc0\xad"},                                 // 危地马拉
    {"gu", "\xb9\xd8\xb5\xba"},                                                 // 关岛
    {"gw", "\xbc\xb8\xc4\xda\xd1\xc7\xb1\xc8\xc9\xdc"},                         // 几内亚比绍
    {"gy", "\xb9\xe7\xd1\xc7\xc4\xc7"},                                         // 圭亚那
    {"hk", "\xcf\xe3\xb8\xdb"},                                                 // 香港
    {"hm", "\xba\xd5\xb5\xc2\xb5\xba"},                                         // 赫德岛
    {"hn", "\xba\xe9\xb6\xbc\xc0\xad\xcb\xb9"},                                 // 洪都拉斯
    {"hr", "\xbf\xcb\xc2\xde\xb5\xd9\xd1\xc7"},                                 // 克罗蒂亚
    {"ht", "\xba\xa3\xb5\xd8"},                                                 // 海地
    {"hu", "\xd0\xd9\xd1\xc0\xc0\xfb"},                                         // 匈牙利
    {"id", "\xd3\xa1\xb6\xc8\xc4\xe1\xce\xf7\xd1\xc7"},                         // 印度尼西亚
    {"ie", "\xb0\xae\xb6\xfb\xc0\xbc\xb9\xb2\xba\xcd\xb9\xfa"},         // 爱尔兰共和国
    {"il", "\xd2\xd4\xc9\xab\xc1\xd0"},                                 // 以色列
    {"in", "\xd3\xa1\xb6\xc8"},                                         // 印度
    {"io", "\xd3\xa2\xca\xf4\xd3\xa1\xb6\xc8\xd1\xf3\xc1\xec\xb5\xd8"}, // 英属印度洋领地
    {"iq", "\xd2\xc1\xc0\xad\xbf\xcb"},                                 // 伊拉克
    {"ir", "\xd2\xc1\xc0\xca"},                                         // 伊朗
    {"is", "\xb1\xf9\xb5\xba"},                                         // 冰岛
    {"it", "\xd2\xe2\xb4\xf3\xc0\xfb"},                                 // 意大利
    {"jm", "\xd1\xc0\xc2\xf2\xbc\xd3"},                                 // 牙买加
    {"jo", "\xd4\xbc\xb5\xa9"},                                         // 约旦
    {"jp", "\xc8\xd5\xb1\xbe"},                                         // 日本
    {"ke", "\xbf\xcf\xc4\xe1\xd1\xc7"},                                 // 肯尼亚
    {"kg", "\xbc\xaa\xb6\xfb\xbc\xaa\xcb\xb9\xcb\xb9\xcc\xb9"},         // 吉尔吉斯斯坦
    {"kh", "\xbc\xed\xc6\xd2\xc8\xfb"},                                 // 柬埔塞
    {"ki", "\xbb\xf9\xc0\xef\xb0\xcd\xcb\xb9"},                         // 基里巴斯
    {"km", "\xbf\xc6\xc4\xa6\xc2\xde"},                                 // 科摩罗
    {"kn", "\xc4\xe1\xce\xac\xcb\xb9"},                                 // 尼维斯
    {"kp", "\xb3\xaf\xcf\xca"},                                         // 朝鲜
    {"kr", "\xba\xab\xb9\xfa"},                                         // 韩国
    {"kw", "\xbf\xc6\xcd\xfe\xcc\xd8"},                                 // 科威特
    {"ky", "\xbf\xaa\xc2\xfc\xb5\xba"},                                 // 开曼岛
    {"kz", "\xb9\xfe\xc8\xf8\xbf\xcb\xcb\xb9\xcc\xb9"},                 // 哈萨克斯坦
    {"la", "\xc0\xcf\xce\xce\xc8\xcb\xc3\xf1\xb9\xb2\xba\xcd\xb9\xfa"}, // 老挝人民共和国
    {"lb", "\xc0\xe8\xb0\xcd\xc4\xdb"},                                 // 黎巴嫩
    {"lc", "\xc9\xa3\xcc\xb9\xc2\xb6\xce\xf7\xd1\xc7"},                 // 桑坦露西亚
    {"li", "\xc1\xd0\xd6\xa7\xb6\xd8\xca\xbf\xb5\xc7"},                 // 列支敦士登
    {"lk", "\xcb\xb9\xc0\xef\xc0\xbc\xbf\xa8"},                         // 斯里兰卡
    {"lr", "\xc0\xfb\xb1\xc8\xc0\xef\xd1\xc7"},                         // 利比里亚
    {"lt", "\xc0\xb3\xcb\xf7\xcd\xd0"},                                 // 莱索托
    {"lu", "\xc2\xac\xc9\xad\xb1\xa4"},                                 // 卢森堡
    {"lv", "\xc0\xad\xcd\xd1\xce\xac\xd1\xc7"},                         // 拉脱维亚
    {"ly", "\xc0\xfb\xb1\xc8\xd1\xc7"},                                 // 利比亚
    {"ma", "\xc4\xa6\xc2\xe5\xb8\xe7"},                                 // 摩洛哥
    {"mc", "\xc4\xa6\xc4\xc9\xb8\xe7"},                                 // 摩纳哥
    {"md", "\xc4\xa6\xb6\xfb\xb6\xe0\xcd\xdf"},                         // 摩尔多瓦
    {"mg", "\xc2\xed\xb4\xef\xbc\xd3\xcb\xb9\xbc\xd3"},                 // 马达加斯加
    {"mh", "\xc2\xed\xc9\xdc\xb6\xfb\xc8\xba\xb5\xba"},                 // 马绍尔群岛
    {"ml", "\xc2\xed\xc0\xef"},                                         // 马里
    {"mm", "\xc3\xe5\xc2\xea"},                                         // 缅玛
    {"mn", "\xc3\xc9\xb9\xc5"},                                         // 蒙古
    {"mo", "\xb0\xc4\xc3\xc5"},                                         // 澳门
    {"mp", "\xb1\xb1\xc2\xed\xc0\xef\xd1\xc7\xc4\xc9\xc8\xba\xb5\xba"}, // 北马里亚纳群岛
    {"mq", "\xc2\xed\xb6\xa1\xc4\xe1\xbf\xcb"},                         // 马丁尼克
    {"mr", "\xc3\xab\xc0\xef\xcb\xfe\xc4\xe1\xd1\xc7"},                 // 毛里塔尼亚
    {"ms", "\xc3\xc9\xcc\xd8\xc8\xfb\xc0\xad\xcc\xd8\xb5\xba"},         // 蒙特塞拉特岛
    {"mt", "\xc2\xed\xb6\xfb\xcb\xfb"},                                 // 马尔他
    {"mv", "\xc2\xed\xb6\xfb\xb4\xfa\xb7\xf2"},                         // 马尔代夫
    {"mw", "\xc2\xed\xc0\xad\xce\xac"},                                 // 马拉维
    {"mx", "\xc4\xab\xce\xf7\xb8\xe7"},                                 // 墨西哥
    {"my", "\xc2\xed\xc0\xb4\xce\xf7\xd1\xc7"},                         // 马来西亚
    {"mz", "\xc4\xaa\xc9\xa3\xb1\xc8\xbf\xcb"},                         // 莫桑比克
    {"na", "\xc4\xc9\xc3\xd7\xb1\xc8\xd1\xc7"},                         // 纳米比亚
    {"nc", "\xd0\xc2\xbf\xa6\xc0\xef\xb6\xe0\xc4\xe1\xd1\xc7"},         // 新喀里多尼亚
    {"ne", "\xc4\xe1\xc8\xd5\xb6\xfb"},                                 // 尼日尔
    {"nf", "\xc5\xb5\xb8\xa3\xbf\xcb\xb5\xba"},                         // 诺福克岛
    {"ng", "\xc4\xe1\xc8\xd5\xc0\xfb\xd1\xc7"},                         // 尼日利亚
    {"ni", "\xc4\xe1\xbc\xd3\xc0\xad\xb9\xcf"},                         // 尼加拉瓜
    {"nl", "\xba\xc9\xc0\xbc"},                                         // 荷兰
    {"no", "\xc5\xb2\xcd\xfe"},                                         // 挪威
    {"np", "\xc4\xe1\xb2\xb4\xb6\xfb"},                                 // 尼泊尔
    {"nr", "\xe8\xa7\xc2\xb3"},                                         // 瑙鲁
    {"nt", "\xd6\xd0\xc1\xa2\xb5\xd8\xc7\xf8"},                         // 中立地区
    {"nu", "\xc5\xa6\xb0\xa3\xb5\xba"},                                 // 纽埃岛
    {"nz", "\xd0\xc2\xce\xf7\xc0\xbc"},                                 // 新西兰
    {"om", "\xb0\xa2\xc2\xfc"},                                         // 阿曼
    {"pa", "\xb0\xcd\xc4\xc3\xc2\xed"},                                 // 巴拿马
    {"pe", "\xc3\xd8\xc2\xb3"},                                         // 秘鲁
    {"pf", "\xb7\xa8\xca\xf4\xb2\xa8\xc0\xfb\xc4\xe1\xce\xf7\xd1\xc7"}, // 法属波利尼西亚
    {"pg", "\xb0\xcd\xb2\xbc\xd1\xc7\xd0\xc2\xbc\xb8\xc4\xda\xd1\xc7"}, // 巴布亚新几内亚
    {"ph", "\xb7\xc6\xc2\xc9\xb1\xf6"},                                 // 菲律宾
    {"pk", "\xb0\xcd\xbb\xf9\xcb\xb9\xcc\xb9"},                         // 巴基斯坦
    {"pl", "\xb2\xa8\xc0\xbc"},                                         // 波兰
    {"pm", "\xca\xa5\xc6\xa4\xb6\xfa\xc2\xf3\xbf\xcf\xc2\xa1"},         // 圣皮耳麦肯隆
    {"pn", "\xc6\xa4\xcc\xd8\xbf\xad\xb6\xf7\xc8\xba\xb5\xba"},         // 皮特凯恩群岛
    {"pr", "\xb2\xa8\xb6\xe0\xc4\xe1\xb8\xf7"},                         // 波多尼各
    {"pt", "\xc6\xcf\xcc\xd1\xd1\xc0"},                                 // 葡萄牙
    {"pw", "\xc5\xc1\xc0\xcd"},                                         // 帕劳
    {"py", "\xb0\xcd\xc0\xad\xb9\xe7"},                                 // 巴拉圭
    {"qa", "\xbf\xa8\xcb\xfe\xb6\xfb"},                                 // 卡塔尔
    {"re", "\xc1\xf4\xc4\xe1\xcd\xf4\xb5\xba"},                         // 留尼汪岛
    {"ro", "\xc2\xde\xc2\xed\xc4\xe1\xd1\xc7"},                         // 罗马尼亚
    {"ru", "\xb6\xed\xc2\xde\xcb\xb9\xc1\xaa\xb0\xee"},                 // 俄罗斯联邦
    {"rw", "\xc2\xac\xcd\xfa\xb4\xef"},                                 // 卢旺达
    {"sa", "\xc9\xb3\xcc\xd8\xb0\xa2\xc0\xad\xb2\xae"},                 // 沙特阿拉伯
    {"sb", "\xcb\xf9\xc2\xde\xc3\xc5\xc8\xba\xb5\xba"},                 // 所罗门群岛
    {"sc", "\xc8\xfb\xc9\xe0\xb6\xfb"},                                 // 塞舌尔
    {"sd", "\xcb\xd5\xb5\xa9"},                                         // 苏旦
    {"se", "\xc8\xf0\xb5\xe4"},                                         // 瑞典
    {"sg", "\xd0\xc2\xbc\xd3\xc6\xc2"},                                 // 新加坡
    {"sh", "\xba\xa3\xc2\xd7\xc4\xc8"},                                 // 海伦娜
    {"si", "\xcb\xb9\xc2\xe5\xce\xc4\xc4\xe1\xd1\xc7"},                 // 斯洛文尼亚
    {"sj",
     "\xcb\xb9\xcd\xdf\xb6\xfb\xb0\xcd\xba\xcd\xd1\xef\xc2\xed\xd1\xd3\xb5\xba"}, // 斯瓦尔巴和扬马延岛
    {"sk", "\xcb\xb9\xc2\xe5\xb7\xa5\xbf\xcb"},                                   // 斯洛伐克
    {"sl", "\xc8\xfb\xc0\xad\xc0\xfb\xb0\xba"},                                   // 塞拉利昂
    {"sm", "\xca\xa5\xc2\xed\xc0\xfb\xc5\xb5"},                                   // 圣马利诺
    {"sn", "\xc8\xfb\xc4\xda\xbc\xd3\xb6\xfb"},                                   // 塞内加尔
    {"so", "\xcb\xf7\xc2\xed\xc0\xef"},                                           // 索马里
    {"sr", "\xcb\xd5\xc0\xef\xc4\xcf"},                                           // 苏里南
    {"st", "\xca\xa5\xb6\xe0\xc3\xc0\xba\xcd\xc6\xd5\xc1\xd6\xce\xf7\xb1\xc8"}, // 圣多美和普林西比
    {"su", "\xcb\xd5\xc1\xaa"},                                                 // 苏联
    {"sy", "\xd0\xf0\xc0\xfb\xd1\xc7"},                                         // 叙利亚
    {"sz", "\xcb\xb9\xcd\xfe\xca\xbf\xc0\xbc"},                                 // 斯威士兰
    {"tc", "\xcc\xd8\xbf\xcb\xcb\xb9\xba\xcd\xbf\xad\xbf\xcb\xcb\xb9\xb5\xba"}, // 特克斯和凯克斯岛
    {"td", "\xd5\xa7\xb5\xc3"},                                                 // 乍得
    {"tf", "\xb7\xa8\xca\xf4\xc4\xcf\xb0\xeb\xc7\xf2\xc1\xec\xb5\xd8"}, // 法属南半球领地
    {"tg", "\xb6\xe0\xb8\xe7"},                                         // 多哥
    {"th", "\xcc\xa9\xb9\xfa"},                                         // 泰国
    {"tj", "\xcb\xfe\xbc\xaa\xbf\xcb\xcb\xb9\xcc\xb9"},                 // 塔吉克斯坦
    {"tk", "\xcd\xd0\xbf\xcb\xc0\xcd\xc8\xba\xb5\xba"},                 // 托克劳群岛
    {"tm", "\xcd\xc1\xbf\xe2\xc2\xfc\xcb\xb9\xcc\xb9"},                 // 土库曼斯坦
    {"tn", "\xcd\xbb\xc4\xe1\xcb\xb9"},                                 // 突尼斯
    {"to", "\xcc\xc0\xbc\xd3"},                                         // 汤加
    {"tp", "\xb6\xab\xcc\xa9\xc3\xd7\xb6\xfb"},                         // 东泰米尔
    {"tr", "\xcd\xc1\xb6\xfa\xc6\xe4"},                                 // 土耳其
    {"tt", "\xcc\xd8\xc1\xa2\xc4\xe1\xba\xcd\xb6\xe0\xb0\xcd\xb8\xe7"}, // 特立尼和多巴哥
    {"tv", "\xcd\xbc\xcd\xdf\xc2\xb3"},                                 // 图瓦鲁
    {"tw", "\xcc\xa8\xcd\xe5"},                                         // 台湾
    {"tz", "\xcc\xb9\xc9\xa3\xc4\xe1\xd1\xc7"},                         // 坦桑尼亚
    {"ua", "\xce\xda\xbf\xcb\xc0\xbc"},                                 // 乌克兰
    {"ug", "\xce\xda\xb8\xc9\xb4\xef"},                                 // 乌干达
    {"uk", "\xd3\xa2\xb9\xfa"},                                         // 英国
    {"us", "\xc3\xc0\xb9\xfa"},                                         // 美国
    {"uy", "\xce\xda\xc0\xad\xb9\xe7"},                                 // 乌拉圭
    {"va", "\xe8\xf3\xb5\xd8\xb8\xd4"},                                 // 梵地冈
    {"vc",
     "\xcd\xfe\xc9\xad\xcc\xd8\xba\xcd\xb8\xf1\xc0\xd5\xc4\xc9\xb5\xcf\xcb\xb9"}, // 威森特和格勒纳迪斯
    {"ve", "\xce\xaf\xc8\xf0\xc4\xda\xc0\xad"},                                   // 委瑞内拉
    {"vg", "\xce\xac\xbe\xa9\xc8\xba\xb5\xba"},                                   // 维京群岛
    {"vn", "\xd4\xbd\xc4\xcf"},                                                   // 越南
    {"vu", "\xcd\xdf\xc5\xac\xb0\xa2\xcd\xbc"},                                   // 瓦努阿图
    {"wf", "\xcd\xdf\xc0\xfb\xcb\xb9\xba\xcd\xb8\xa3\xc7\xed\xb5\xba"}, // 瓦利斯和福琼岛
    {"ws", "\xce\xf7\xc8\xf8\xc4\xa6\xd1\xc7\xb9\xb2\xba\xcd\xb9\xfa"}, // 西萨摩亚共和国
    {"ye", "\xd2\xb2\xc3\xc5"},                                         // 也门
    {"yu", "\xc4\xcf\xcb\xb9\xc0\xad\xb7\xf2"},                         // 南斯拉夫
    {"za", "\xc4\xcf\xb7\xc7"},                                         // 南非
    {"zm", "\xd4\xde\xb1\xc8\xd1\xc7"},                                 // 赞比亚
    {"zr", "\xd4\xfa\xd2\xc1\xb6\xfb"},                                 // 扎伊尔
    {"zw", "\xbd\xf2\xb0\xcd\xb2\xbc\xce\xa4"},                         // 津巴布韦
};

namespace {

constexpr size_t kMaxNumberText = 40;
constexpr size_t kRmbLength = 3;
constexpr size_t kPeriodPlace = 3;
constexpr size_t kYuanGroup = 1;
constexpr size_t kYiGroup = 3;
constexpr size_t kMaxDomainLength = 63;
constexpr size_t kMaxLabels = 8;
constexpr size_t kNamedLabels = 4;

// 壹 贰 叁 肆 伍 陆 柒 捌 玖, by value.
constexpr const char* kCapitalDigits[10] = {
    "",         "\xd2\xbc", "\xb7\xa1", "\xc8\xfe", "\xcb\xc1",
    "\xce\xe9", "\xc2\xbd", "\xc6\xe2", "\xb0\xc6", "\xbe\xc1",
};
// The unit at a group's head by group: 元 万 亿 万 拾 佰 仟 分 角 for 1 to 9; 0 and above 9 none.
constexpr const char* kGroupUnits[10] = {
    "",         "\xd4\xaa", "\xcd\xf2", "\xd2\xda", "\xcd\xf2",
    "\xca\xb0", "\xb0\xdb", "\xc7\xaa", "\xb7\xd6", "\xbd\xc7",
};
// 拾 佰 仟 for the places after a group's head.
constexpr const char* kInGroupUnits[4] = {"", "\xca\xb0", "\xb0\xdb", "\xc7\xaa"};
// 分 at place 1, 角 at place 2.
constexpr const char* kFractionUnits[3] = {"", "\xb7\xd6", "\xbd\xc7"};

constexpr const char kYuan[] = "\xd4\xaa";                       // 元
constexpr const char kZero[] = "\xc1\xe3";                       // 零
constexpr const char kWhole[] = "\xd5\xfb";                      // 整
constexpr const char kZeroAmount[] = "\xc1\xe3\xd4\xaa\xd5\xfb"; // 零元整
constexpr const char kLabelRmb[] = "\xc8\xcb\xc3\xf1\xb1\xd2";   // 人民币
constexpr const char kLabelAmount[] = "\xbd\xf0\xb6\xee";        // 金额
constexpr const char kLabelDomain[] = "\xd3\xf2\xc3\xfb";        // 域名

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
char toLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c;
}

void copyBounded(const std::string& text, char* out, size_t outSize) {
    if (outSize == 0) return;
    size_t length = std::min(text.size(), outSize - 1);
    std::memcpy(out, text.data(), length);
    out[length] = '\0';
}

std::string entryText(std::string_view input, const char* label, const std::string& rendering) {
    std::string text(input);
    text += '\x01';
    text += label;
    text += '\x02';
    return text + rendering;
}

// ----- Amount -----

bool beginsWithRmb(const char* query) {
    return toLower(query[0]) == 'r' && toLower(query[1]) == 'm' && toLower(query[2]) == 'b';
}

bool periodPlaced(const char* query, size_t at) {
    return at == 0 ? isDigit(query[1]) : isDigit(query[at - 1]);
}

// The query from start with its commas dropped; false when a period is misplaced or repeated,
// or the text is empty or longer than 40 bytes.
bool collectNumberText(const char* query, size_t start, std::string& text) {
    int periods = 0;
    for (size_t at = start; query[at] != '\0'; ++at) {
        char c = query[at];
        if (c == ',') continue;
        if (c == '.' && (!periodPlaced(query, at) || ++periods > 1)) return false;
        if (text.size() == kMaxNumberText) return false;
        text += c;
    }
    return !text.empty();
}

// The leading digits and period of the text.
std::string_view leadingNumber(std::string_view text) {
    size_t end = 0;
    while (end < text.size() && (isDigit(text[end]) || text[end] == '.'))
        ++end;
    return text.substr(0, end);
}

bool valueIsZero(std::string_view number) {
    double value = 0;
    std::from_chars(number.data(), number.data() + number.size(), value);
    return value == 0;
}

// The integer digits, a period and exactly two fraction digits.
std::string withTwoFractionDigits(std::string_view number) {
    size_t period = number.find('.');
    std::string fraction(period == std::string_view::npos ? "" : number.substr(period + 1));
    return std::string(number.substr(0, period)) + "." + (fraction + "00").substr(0, 2);
}

// Places count from the end of the walked text: 1 分, 2 角, 3 the period, 4 the units digit, 5
// the tens and so on; place k lies in group k / 4 at k % 4 past the group's head.
char digitAt(std::string_view text, size_t place) {
    return text[text.size() - place];
}

const char* groupUnit(size_t group) {
    return group < std::size(kGroupUnits) ? kGroupUnits[group] : "";
}

const char* placeUnit(size_t place) {
    size_t group = place / 4, offset = place % 4;
    if (offset == 0) return groupUnit(group);
    return group > 0 ? kInGroupUnits[offset] : kFractionUnits[place];
}

bool nonZeroBetween(std::string_view text, size_t lowPlace, size_t highPlace) {
    for (size_t place = lowPlace; place <= highPlace && place <= text.size(); ++place)
        if (digitAt(text, place) != '0') return true;
    return false;
}

// A zero at a group's head writes the unit only when the digits it scales are not all zero: 元
// always, 亿 its own group and every digit above, any other unit its own group.
bool zeroHeadWritesUnit(std::string_view text, size_t group) {
    if (group == kYuanGroup) return true;
    size_t highPlace = group == kYiGroup ? text.size() : 4 * group + 3;
    return nonZeroBetween(text, 4 * group, highPlace);
}

void appendPlace(std::string_view text, size_t place, std::string& out, bool& zeroPending) {
    char digit = digitAt(text, place);
    bool groupHead = place % 4 == 0;
    if (digit != '0') {
        if (zeroPending) out += kZero;
        out += kCapitalDigits[digit - '0'];
        out += placeUnit(place);
    } else if (groupHead && zeroHeadWritesUnit(text, place / 4)) {
        out += groupUnit(place / 4);
    }
    zeroPending = digit == '0' && !groupHead;
}

std::string capitalDigits(std::string_view text) {
    std::string out;
    bool zeroPending = false;
    for (size_t place = text.size(); place > 0; --place)
        if (place != kPeriodPlace) appendPlace(text, place, out, zeroPending);
    if (digitAt(text, 1) == '0' && digitAt(text, 2) == '0') out += kWhole;
    return out;
}

void dropPrefix(std::string& text, std::string_view prefix) {
    if (text.starts_with(prefix)) text.erase(0, prefix.size());
}

std::string capitalAmount(std::string_view number) {
    if (valueIsZero(number)) return kZeroAmount;
    std::string rendering = capitalDigits(withTwoFractionDigits(number));
    dropPrefix(rendering, kYuan);
    dropPrefix(rendering, kZero);
    return rendering;
}

// ----- Domain name -----

bool keyMatches(const char* key, const char* label, size_t length) {
    if (length >= sizeof(DomainRow::key)) return false;
    for (size_t i = 0; i < length; ++i)
        if (toLower(label[i]) != key[i]) return false;
    return key[length] == '\0';
}

// The labels from the right, at most eight; false when a byte after the first is neither a
// period nor a letter.
bool splitLabels(std::string_view query, std::vector<std::string_view>& labels) {
    size_t end = query.size();
    for (size_t at = query.size() - 1; at > 0; --at) {
        if (query[at] == '.') {
            labels.push_back(query.substr(at + 1, end - at - 1));
            end = at;
            if (labels.size() == kMaxLabels) return true;
        } else if (!isLetter(query[at])) {
            return false;
        }
    }
    if (query[0] != '.') labels.push_back(query.substr(0, end));
    return true;
}

std::string joinLabels(const std::vector<std::string_view>& labels) {
    std::string joined;
    for (size_t i = 0; i < labels.size(); ++i) {
        const char* name =
            i < kNamedLabels ? domainLabelName(labels[i].data(), labels[i].size()) : nullptr;
        std::string part = name != nullptr ? std::string(name) : std::string(labels[i]);
        joined = joined.empty() ? part : part + "." + joined;
    }
    return joined;
}

} // namespace

const char* domainLabelName(const char* label, size_t length) {
    for (const DomainRow& row : kDomainTable)
        if (keyMatches(row.key, label, length)) return row.name;
    return nullptr;
}

bool renderAmount(const char* query, char* out, size_t outSize) {
    bool rmb = beginsWithRmb(query);
    std::string text;
    if (!collectNumberText(query, rmb ? kRmbLength : 0, text)) return false;
    std::string_view number = leadingNumber(text);
    if (number.empty()) return false;
    std::string rendering = capitalAmount(number);
    copyBounded(entryText(number, rmb ? kLabelRmb : kLabelAmount, rendering), out, outSize);
    return true;
}

bool renderDomainName(const char* query, char* out, size_t outSize) {
    std::string_view name(query);
    if (name.empty() || name.size() > kMaxDomainLength) return false;
    if (std::count(name.begin(), name.end(), '.') < 2) return false;
    std::vector<std::string_view> labels;
    if (!splitLabels(name, labels) || labels.empty()) return false;
    copyBounded(entryText(name, kLabelDomain, joinLabels(labels)), out, outSize);
    return true;
}

} // namespace lxtran
