"""The performance targets and their verdicts, computed from the benchmark's figures. Each
verdict is one line: target, shape, figure and met / missed; a target whose sizes were not run
is "not measured"."""

from collections import namedtuple

WALL_SIZES = (10000, 50000, 99999)
SMALL, LARGE = 10000, 99999
WALL_RATIO = 1.0           # whole-run wall time against the peer's
FURTHER_PAYMENT_RATIO = 0.9  # time of each further payment against the peer's
MEMORY_RATIO = 0.8         # peak memory against the peer's, at every size
FLOOR_RATIO = 1.15         # the component's own steps against the engine floor
LINEARITY = 1.3            # time per payment at 99,999 against 10,000 payments
REPEATED_START_S = 0.3     # median of a repeated one-payment run through bin/tavrin-host

Verdict = namedtuple("Verdict", "number target shape figure met")


def own_steps(result):
    """The component's steps that the engine floor has counterparts for."""
    s = result["steps"]
    return s["validation"] + s["document"] + s["transformation"] + s["save"]


def floor_counterparts(result):
    f = result["floor_steps"]
    return f["load"] + f["transformation"] + f["save"]


def further_payment_seconds(small, large, key):
    return (large[key] - small[key]) / (large["size"] - small["size"])


def evaluate(results, startup, shapes):
    """[Verdict] for every target and shape; met is None where the sizes were not run."""
    by = {(r["shape"], r["size"]): r for r in results}
    verdicts = []

    def missing(number, target, shape, sizes):
        verdicts.append(Verdict(number, target, shape, "needs the run of %s payments" % " and ".join(
            "{:,}".format(s) for s in sizes), None))

    for shape in shapes:
        runs = [r for r in results if r["shape"] == shape]
        target = "Whole-run wall time at most %.1fx the peer's at 10,000, 50,000 and 99,999 payments" % WALL_RATIO
        measured = [by[(shape, s)] for s in WALL_SIZES if (shape, s) in by]
        if measured:
            figure = "; ".join("{:,}: {:.2f} s against {:.2f} s, {:.2f}x".format(
                r["size"], r["wall"], r["peer_wall"], r["wall"] / r["peer_wall"]) for r in measured)
            complete = len(measured) == len(WALL_SIZES)
            verdicts.append(Verdict(1, target, shape, figure + ("" if complete else " (not every size run)"),
                                    all(r["wall"] <= WALL_RATIO * r["peer_wall"] for r in measured)
                                    if complete else None))
        else:
            missing(1, target, shape, WALL_SIZES)

        target = "Each further payment (99,999 minus 10,000 payments) at most %.1fx the peer's" % (
            FURTHER_PAYMENT_RATIO)
        if (shape, SMALL) in by and (shape, LARGE) in by:
            small, large = by[(shape, SMALL)], by[(shape, LARGE)]
            ours = further_payment_seconds(small, large, "wall")
            peer = further_payment_seconds(small, large, "peer_wall")
            verdicts.append(Verdict(2, target, shape, "%.1f µs against %.1f µs, %.2fx" % (
                1e6 * ours, 1e6 * peer, ours / peer), ours <= FURTHER_PAYMENT_RATIO * peer))
        else:
            missing(2, target, shape, (SMALL, LARGE))

        target = "Peak memory at most %.1fx the peer's at every size" % MEMORY_RATIO
        verdicts.append(Verdict(3, target, shape, "; ".join("{:,}: {:.0f} MiB against {:.0f} MiB, {:.2f}x".format(
            r["size"], r["rss"], r["peer_rss"], r["rss"] / r["peer_rss"]) for r in runs),
            all(r["rss"] <= MEMORY_RATIO * r["peer_rss"] for r in runs)))

        target = ("The component's steps (validation, document, transformation, save) at most %.2fx the engine "
                  "floor's (load, transformation, save)" % FLOOR_RATIO)
        verdicts.append(Verdict(4, target, shape, "; ".join("{:,}: {:.2f}x".format(
            r["size"], own_steps(r) / floor_counterparts(r)) for r in runs),
            all(own_steps(r) <= FLOOR_RATIO * floor_counterparts(r) for r in runs)))

        target = "Wall time per payment at 99,999 payments at most %.1fx that at 10,000" % LINEARITY
        if (shape, SMALL) in by and (shape, LARGE) in by:
            small, large = by[(shape, SMALL)], by[(shape, LARGE)]
            ratio = (large["wall"] / large["size"]) / (small["wall"] / small["size"])
            steps = (own_steps(large) / large["size"]) / (own_steps(small) / small["size"])
            verdicts.append(Verdict(5, target, shape, "%.2fx (the component's steps alone %.2fx)" % (ratio, steps),
                                    ratio <= LINEARITY))
        else:
            missing(5, target, shape, (SMALL, LARGE))

    verdicts.append(Verdict(6, "A repeated one-payment run (`bin/tavrin-host --auto`, warm session) at most "
                            "%.1f s median" % REPEATED_START_S, "clean", "median %.2f s (best %.2f s) of %d runs" % (
                                startup["repeated_median"], startup["repeated"], startup["repeated_runs"]),
                            startup["repeated_median"] <= REPEATED_START_S))
    return sorted(verdicts, key=lambda v: v.number)
