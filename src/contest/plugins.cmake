# The plug-ins, one line each: the library's name, the function that gives its contest record, the header that
# declares it, and the contest's name as the library's file properties and the header dialog's caption give it
# (its record's name: a test holds the two to each other). Its set, its resources and its export table are made
# from this line; everything else of the contest stands in its record.
stats_plugin(Stats ArrlRttyRoundup contest/arrl_rtty_roundup.h "ARRL RTTY Roundup")
stats_plugin(StatsCQWW CqWwRtty contest/cq_ww_rtty.h "CQ WW RTTY")
stats_plugin(StatsWPX CqWpxRtty contest/cq_wpx_rtty.h "CQ WPX RTTY")
