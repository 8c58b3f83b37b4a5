#include "bench/conversion/sample_text.h"

#include <array>
#include <random>
#include <string_view>

namespace lumo::bench {
namespace {

// clang-format off
constexpr std::array<std::string_view, 8> kParagraphs{
    "我们的小区门口有一家开了十几年的面馆。老板姓王，头发已经白了一半，每天早上五点就起来和面。"
    "他说面条干了就不好吃，所以总是现做现卖。来吃面的人多半是附近的老街坊，也有赶着上班的年轻人。",
    "去年冬天我搬到这里以后，几乎每个周末都会去他那里坐一坐。一碗牛肉面十八块钱，分量很足，"
    "汤里放了葱花和香菜。王老板记性很好，只要来过两三次，他就知道你喜欢吃辣还是不吃辣。",
    "有一次我问他，为什么不把店面装修得漂亮一点。他笑着说，开店最重要的是味道，不是门面。"
    "再说了，老顾客喜欢的就是这个样子，要是变了，他们反而觉得不习惯。",
    "后来我才知道，这家面馆是他和他爱人一起开的。两个人从北方来到这座城市，当时身上只有两千多块钱。"
    "他们租了一间很小的房子，白天卖面，晚上在店里算账，日子虽然辛苦，但是心里很踏实。",
    "现在他们的女儿已经上大学了，学的是计算机。放假的时候她也会回来帮忙，在柜台后面收钱，"
    "顺便教爸爸用手机收款。王老板说，时代发展得太快了，不学习就会被淘汰。",
    "前几天下了一场大雨，街上的水没过了脚面。我撑着伞走进面馆，里面只有三四个客人。"
    "老板给我端来一碗热汤面，又送了一小碟咸菜，说天冷了，多吃一点暖和暖和。",
    "我一边吃面一边想，这座城市里有成千上万这样的小店，它们没有名气，也不上新闻，"
    "却实实在在地照顾着每一个普通人的生活。这大概就是烟火气吧。",
    "明天是他开店的第十五个年头。他说打算在门口挂一块新的招牌，上面写着：2010年至今，"
    "一碗好面，一份真心。我想，到时候我一定要去捧个场。",
};

constexpr std::array<std::string_view, 16> kSubjects{
    "我", "我们", "你", "他", "她们", "老师", "这个孩子", "我的朋友", "公司的同事", "邻居家的奶奶",
    "那位医生", "学校里的学生", "年轻人", "他的父亲", "这些游客", "每个人",
};
constexpr std::array<std::string_view, 16> kTimes{
    "今天", "昨天下午", "上个星期", "每天早上", "周末", "后来", "最近几年", "春节的时候",
    "晚上十点以后", "下班以后", "一个月前", "明年", "那时候", "从小", "现在", "刚才",
};
constexpr std::array<std::string_view, 24> kPredicates{
    "在图书馆里看书", "去超市买了很多东西", "觉得这件事情不太对", "给家里打了一个电话",
    "终于发现了问题的原因", "把房间打扫得干干净净", "一直想去云南旅游", "参加了学校的运动会",
    "开始学习弹钢琴", "在网上发布了一条消息", "跟朋友一起吃了火锅", "写完了这个月的工作总结",
    "为了考试复习到很晚", "在公园里散步", "把头发剪短了", "学会了做红烧肉",
    "没有时间休息", "对这个结果很满意", "决定明天再出发", "从里面拿出一本旧书",
    "觉得生活越来越好了", "帮助了很多需要帮助的人", "冲了一杯咖啡", "看见一只小猫在树下睡觉",
};
constexpr std::array<std::string_view, 8> kClosers{"。", "。", "。", "！", "？", "，", "；", "……"};
// clang-format on

} // namespace

std::string SampleChineseText(std::size_t bytes)
{
    std::string text;
    text.reserve(bytes + 512);
    for (const std::string_view paragraph : kParagraphs) {
        if (text.size() >= bytes)
            return text;
        text.append(paragraph).append("\n\n");
    }
    std::mt19937 rng(520);
    auto pick = [&rng](const auto &list) { return list[rng() % list.size()]; };
    while (text.size() < bytes) {
        const unsigned sentences = 3 + rng() % 6;
        for (unsigned k = 0; k < sentences; ++k) {
            text.append(pick(kTimes)).append("，").append(pick(kSubjects)).append(pick(kPredicates));
            if (rng() % 8 == 0)
                text.append("，一共花了").append(std::to_string(rng() % 2000)).append("元");
            if (rng() % 16 == 0)
                text.append("（").append(std::to_string(1990 + rng() % 36)).append("年）");
            text.append(k + 1 == sentences ? "。" : pick(kClosers));
        }
        text.append(rng() % 4 == 0 ? "\n\n" : "\n");
    }
    return text;
}

} // namespace lumo::bench
