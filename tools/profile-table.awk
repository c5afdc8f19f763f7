# Reads a --profile CSV and prints a markdown table of each entry name's CPU
# and GPU milliseconds per frame drawn: median and 95th percentile, costliest
# (by the larger median) first. Names are taken as plain fields.
#
#   awk -F, -f tools/profile-table.awk profile.csv
function sortn(a, n,    i, j, v) {
    for (i = 2; i <= n; i++) {
        v = a[i]
        for (j = i - 1; j >= 1 && a[j] > v; j--)
            a[j + 1] = a[j]
        a[j + 1] = v
    }
}
# The sample of rank ceil(p * n) of the values listed in s.
function pct(s, p,    a, n) {
    n = split(substr(s, 2), a, " ")
    if (n == 0)
        return -1
    sortn(a, n)
    return a[int(p * n + 0.999999) < 1 ? 1 : int(p * n + 0.999999)]
}
NR == 1 { next }
{
    if (!($3 in frames))
        names[++count] = $3
    frames[$3]++
    cpu[$3] = cpu[$3] " " ($4 + 0)
    if ($5 != "")
        gpu[$3] = gpu[$3] " " ($5 + 0)
}
END {
    for (i = 1; i <= count; i++) {
        n = names[i]
        cm[n] = pct(cpu[n], 0.5); cp[n] = pct(cpu[n], 0.95)
        gm[n] = pct(gpu[n], 0.5); gp[n] = pct(gpu[n], 0.95)
        cost[i] = cm[n] > gm[n] ? cm[n] : gm[n]
    }
    # Costliest first.
    for (i = 2; i <= count; i++)
        for (j = i; j > 1 && cost[j] > cost[j - 1]; j--) {
            t = cost[j]; cost[j] = cost[j - 1]; cost[j - 1] = t
            t = names[j]; names[j] = names[j - 1]; names[j - 1] = t
        }
    print "| entry | frames | CPU median ms | CPU p95 ms | GPU median ms | GPU p95 ms |"
    print "|---|---|---|---|---|---|"
    for (i = 1; i <= count; i++) {
        n = names[i]
        printf "| %s | %d | %.3f | %.3f | %s | %s |\n", n, frames[n], cm[n], cp[n],
            gm[n] < 0 ? "-" : sprintf("%.3f", gm[n]), gp[n] < 0 ? "-" : sprintf("%.3f", gp[n])
    }
}
