"""The analysis table: plain CSV, header first, a row per ranged parameter, then the summary
rows; an empty field where a value does not exist (one replicate has no noise share)."""

SOBOL_COLUMNS = ["S1", "S1_low", "S1_high", "ST", "ST_low", "ST_high", "noise_share"]
MORRIS_COLUMNS = ["mu_star", "mu_star_low", "mu_star_high", "mu", "sigma", "noise_share"]
SUM_ROW = "sum_of_S1"
NOISE_ROW = "replicate_noise"


def number(value):
    return "" if value is None or value != value else format(float(value), ".6g")


def csv_text(columns, rows):
    lines = [",".join(["parameter"] + columns)]
    lines += [",".join([name] + [number(row.get(column)) for column in columns])
              for name, row in rows]
    return ("\n".join(lines) + "\n").encode()


def sobol_table(names, value, low, high, share):
    d = len(names)
    rows = [(name, {"S1": value[i], "S1_low": low[i], "S1_high": high[i], "ST": value[d + i],
                    "ST_low": low[d + i], "ST_high": high[d + i]})
            for i, name in enumerate(names)]
    rows.append((SUM_ROW, {"S1": value[2 * d], "S1_low": low[2 * d], "S1_high": high[2 * d]}))
    rows.append((NOISE_ROW, {"noise_share": share}))
    return csv_text(SOBOL_COLUMNS, rows)


def morris_table(names, mu_star, low, high, mu, sigma, share):
    rows = [(name, {"mu_star": mu_star[i], "mu_star_low": low[i], "mu_star_high": high[i],
                    "mu": mu[i], "sigma": sigma[i]}) for i, name in enumerate(names)]
    rows.append((NOISE_ROW, {"noise_share": share}))
    return csv_text(MORRIS_COLUMNS, rows)
